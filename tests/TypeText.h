#pragma once

// Typing as a keyboard does, one key event per character with its text.
// QTest::keyClicks cannot send characters outside Latin-1 (Chinese names).

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

inline void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}
