#pragma once

class QApplication;

// Application-wide set-up shared by the program and its tests: names (which
// fix the data and settings folders), the UI font, and tracking of the
// active window.
void InitApplication(QApplication &app);
