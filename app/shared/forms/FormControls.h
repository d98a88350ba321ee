#pragma once

#include <QString>
#include <QWidgetList>

class QObject;
class QWidget;

// How the shared form procedures see a window: its controls in a stable
// order, each control's type name and its "Tag" words.

// The dynamic property "Tag" of a control or window ("" when unset).
QString TagOf(const QObject *object);

// Whether word occurs anywhere in tag (case-sensitive): "serv nodo" has
// "serv" and "nodo".
bool TagHas(const QString &tag, const QString &word);

// The value of a "def" tag: the tag from its fourth character on ("def9" → "9").
QString TagDefault(const QString &tag);

// The type name the procedures compare: "TextBox" (QLineEdit), "ComboBox",
// "Label", "OVGrid" (any class named OVGrid, found through the meta-object
// system), "CheckBox", "DTPicker", or "" for anything else.
QString ControlTypeName(const QWidget *control);

// The controls of a window in child order, depth first. Plain containers
// (group boxes, frames, tab pages) are looked into; a control is not, so the
// line edit inside a combo box or date picker and the parts of a grid or
// navigation bar are not controls of the window.
QWidgetList FormControls(const QWidget *form);

// The control with tab index 0: the first widget of the window's focus chain
// that takes focus by Tab, or null.
QWidget *FirstInTabOrder(const QWidget *form);
