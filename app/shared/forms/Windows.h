#pragma once

#include <QString>

class QWidget;

// Starts following window activation, so that ActiveForm() knows the program
// window the user last worked in. Called once at start-up.
void TrackActiveForm();

// The windows of the program are its top-level widgets; a window's name is
// its objectName (frmBill, frmControl, …).
bool IsFormLoaded(const QString &name);
QWidget *FindForm(const QString &name);

// The program window (a top-level whose name begins with "frm") that last
// became active, or null.
QWidget *ActiveForm();

// Makes form the active program window at once. Activation by the window
// system arrives later; code that shows a window and at once works "on the
// active window" calls this in between.
void SetActiveForm(QWidget *form);

// Shows the main menu again; working windows call this when they close.
void ShowMainMenu();
