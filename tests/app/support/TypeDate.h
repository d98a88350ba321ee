#pragma once

// Types a date into the program's date field as a user does: ticks its box
// when it has one, then clears each two-digit section and types its digits
// ("240305" for 24-03-05); the edit moves on to the next section by itself.

#include "shared/forms/DTPicker.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QtTest>

inline void typeDate(DTPicker *picker, const QString &digits)
{
    if (picker->showCheckBox() && !picker->checkBox()->isChecked())
        QTest::keyClick(picker->checkBox(), Qt::Key_Space);
    QDateEdit *edit = picker->dateEdit();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Home);
    for (qsizetype i = 0; i < digits.size(); i += 2) {
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, digits.mid(i, 2));
    }
}
