#pragma once

class QApplication;

// Application-wide set-up shared by the program and its tests: names (which
// fix the data and settings folders), the UI font, and tracking of the
// active window.
void InitApplication(QApplication &app);

// The names and the version alone; they need no application object, so the
// command line can answer before one exists.
void SetProgramIdentity();
