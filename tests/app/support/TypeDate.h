#pragma once

// Types a date into the program's date field as a user does: ticks its box
// when it has one, then clears each two-digit section and types its digits
// ("240305" for 24-03-05); the edit moves on to the next section by itself.

#include <QString>

class DTPicker;

void typeDate(DTPicker *picker, const QString &digits);
