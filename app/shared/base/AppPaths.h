#pragma once

#include <QString>

// Where the program finds its files.
//
// Program folder: the folder of the running executable.
// Settings folder: ~/.config/Orvane when ov.ini exists there, otherwise the
//   program folder (set once by InitSettingsFolder).
// Data folder (database, template, log): $TOVIK_DATA_DIR when set; the program
//   folder when ovBill.db is there (a portable install); otherwise the
//   per-user application data folder, created when missing.

QString ProgramFolder();
QString DataFolder();
QString DatabasePath();

void InitSettingsFolder();
QString SettingsFolder();

// Returns the value of key in section [ov] of ov.ini in the settings folder,
// or defaultValue when the key or the file is missing.
// A settings file that exists but cannot be read gives an empty value and,
// when error is given, says why there.
QString ReadSetting(const QString &key, const QString &defaultValue = QString(), QString *error = nullptr);

// Path of a shipped data file (print template, …): the data folder first, then
// the share folder beside the program (build tree or install), then the
// install prefix. Empty when none has it.
QString FindDataFile(const QString &fileName);
