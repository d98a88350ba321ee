#pragma once

#include <QString>

#include <functional>

// Every message the program shows goes through MsgBox, so tests can read the
// texts and script the answers by installing their own handler.
enum class MsgButtons { Ok, YesNo, OkCancel, YesNoCancel };
enum class MsgIcon { None, Information, Question, Warning, Critical };
enum class MsgAnswer { Ok, Cancel, Yes, No };

using MsgHandler = std::function<MsgAnswer(const QString &text, MsgButtons buttons, MsgIcon icon)>;

MsgAnswer MsgBox(const QString &text, MsgButtons buttons = MsgButtons::Ok,
                 MsgIcon icon = MsgIcon::Information);

// Replaces the handler and returns the previous one; an empty handler
// restores the real message box.
MsgHandler SetMsgHandler(MsgHandler handler);

// A validation message about a grid row: "第 <row> 行：", a blank line, the
// text; OK only.
void ShowRowMessage(int row, const QString &text);

// Runs op; a DbError it throws is shown in a message box. Returns whether
// op ran to its end. Every event handler that reaches the database goes
// through this, so no exception ever crosses Qt's event loop.
bool RunGuarded(const std::function<void()> &op);

// ReadSetting, with a settings file that cannot be read told in a message
// box (the value is then empty).
QString ReadSettingShown(const QString &key, const QString &defaultValue = QString());
