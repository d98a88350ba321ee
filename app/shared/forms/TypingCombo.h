#pragma once

#include <QString>

class QComboBox;
class QWidget;

// An editable drop-down that keeps what was typed exactly as typed: the list
// is there to pick from, never to complete into. Every editable combo box of
// the windows is made here, so that none can forget it.
QComboBox *MakeTypingCombo(QWidget *parent, const QString &name, const QString &tag = QString());

// Turns an editable combo box into a typing one (no completer, no insertion).
void KeepTypedText(QComboBox *combo);
