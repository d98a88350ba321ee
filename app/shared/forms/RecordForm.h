#pragma once

#include <QString>

#include <functional>

class QWidget;

// The record-window protocol. Controls describe how they are filled and reset
// by words in their "Tag" property:
//   "def<value>"  text box, label: text after a reset; grid: row count
//   "cur"         text box, label: "0.00" after a reset
//   "num"         text box, label: "0" after a reset
//   "nodo"        combo box: a reset leaves it alone
//   "true"        check box: ticked after a reset (cleared otherwise)
//   "serv"        combo box: filled from the value list named by the combo
//   "data"        combo box: filled from the table named by the combo
//   "total"       the window's own tag: ovTotal() follows every ovRst()
//
// A record window (a top-level widget named frm…) offers these operations;
// the program's own derive from RecordWindow, which has them as virtual
// functions. Any other window offers them by name, as Q_INVOKABLE members
// with exactly these signatures:
//   void ovRst(int ID)         load record ID into the controls and grid
//   void ovTotal()             recompute the totals from the grid
//   void ovCmd(int intStep)    command buttons for 0 empty, 1 changed, 2 stored
//   bool ovSaveYN()            true: unsaved changes are to be kept
//   void ovModalForm(const QString &str)   a picker's choice
// and a navigation bar named "nav". They must not let exceptions escape
// (guard database work with RunGuarded). A window that lacks one of them
// gets a message naming the missing member, and the operation stops there.
//
// The procedures that work "on the active window" use ActiveForm(); each has
// an overload taking the window, for a caller that knows it.

// Fills the window's "serv" and "data" combo boxes and sets its date pickers
// (today, or no date when the picker shows a check box). Called by a window's
// load handler; a database error is thrown as DbError.
void FillFormLists(QWidget *form);

// Clears the window's controls as their tags say, in control order, and puts
// the focus on the text or combo box with tab index 0.
void ResetFormControls();
void ResetFormControls(QWidget *form);

// The answer to a navigation bar's OutputID: shows record id, or an empty
// record for 0.
void OnNavOutputID(qint32 id);
void OnNavOutputID(QWidget *form, qint32 id);

// ovRst(id), ovTotal() when the window's tag says "total", then ovCmd(2).
// Returns false when a call failed.
bool ShowRecordInActiveForm(qint32 id);
bool ShowRecordInForm(QWidget *form, qint32 id);

// ResetFormControls(), then ovCmd(0).
bool ClearActiveForm();
bool ClearForm(QWidget *form);

// Creates a record window for table; registered by the window's own code.
using RecordFormFactory = std::function<QWidget *()>;
void RegisterRecordForm(const QString &table, const QString &formName, RecordFormFactory factory);

// Shows the record window of table (or of the active window's table when
// table is empty) at record id: creates it when not loaded, shows and
// activates it, and unless its ovSaveYN() says to keep unsaved changes, moves
// its navigation bar to id, which makes the window load it. Returns true when
// the window was shown; when the record no longer exists, says so and returns
// false. A database error is thrown as DbError.
bool OpenRecordForm(qint32 id, const QString &table = QString());

// The by-name calls themselves. Each reports a missing window or member and
// returns false; CallOvSaveYN gives the window's answer in *keep.
bool CallOvRst(QWidget *form, qint32 id);
bool CallOvTotal(QWidget *form);
bool CallOvCmd(QWidget *form, int step);
bool CallOvSaveYN(QWidget *form, bool *keep);
// Hands a picker's choice to the window that opened the picker.
bool CallOvModalForm(QWidget *form, const QString &str);
