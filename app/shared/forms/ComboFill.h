#pragma once

#include <QString>

class QComboBox;

// Fillers for the combo boxes of the record and list windows. Appending never
// changes the combo's choice or text and raises no signal; a database error
// is thrown as DbError.

// Appends the values of a value list, ordered. An empty field is taken from
// the combo's name without its three-letter prefix (cboMan1 → man1).
void FillServCombo(QComboBox *combo, const QString &field = QString());

// Appends id and name of every row of the table named by the combo
// (cboClient → table client, column client), ordered by name; the id is the
// item's data. A whole table can be long: the rows are read when the list is
// first wanted (see LazyComboFill).
void FillIdCombo(QComboBox *combo);

// Reads at once the items that a combo's fill still holds back (for code
// that looks through the items).
void FillComboNow(QComboBox *combo);

// Appends the six value-list captions; with selectFirst the first one is then
// chosen, which raises currentIndexChanged as a user's choice would.
void FillFieldCaptionCombo(QComboBox *combo, bool selectFirst);
