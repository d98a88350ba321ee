#pragma once

#include <optional>

// Reads the command line before any window or display exists, so that
// "--help", "--version", the copy command and a mistyped option answer on the
// terminal even where no desktop runs. Returns the exit code when the command
// line has been answered, or nothing when the windows should start.
// Qt's own window-system options (-platform, -style, …) are let through for
// QApplication to take.
std::optional<int> AnswerOnTerminal(int &argc, char **argv);
