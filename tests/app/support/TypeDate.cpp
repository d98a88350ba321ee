#include "TypeDate.h"

#include "shared/forms/DTPicker.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QtTest>

void typeDate(DTPicker *picker, const QString &digits)
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
