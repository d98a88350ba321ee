#include "shared/forms/DTPicker.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QSignalSpy>
#include <QtTest>

class TestDTPicker : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void showsShortDateWithCalendar();
    void withoutCheckBoxAlwaysHasADate();
    void checkBoxStandsForNoDate();
    void userEditsAreSignalled();
};

void TestDTPicker::showsShortDateWithCalendar()
{
    DTPicker picker;
    QCOMPARE(picker.value().toDate(), QDate::currentDate());
    picker.setValue(QDate(2026, 12, 7));
    QCOMPARE(picker.dateEdit()->text(), QStringLiteral("26-12-07"));
    QVERIFY(picker.dateEdit()->calendarPopup());
    QVERIFY(!picker.showCheckBox());
}

void TestDTPicker::withoutCheckBoxAlwaysHasADate()
{
    DTPicker picker;
    picker.setValue(QDate(2025, 1, 31));
    QSignalSpy spy(&picker, &DTPicker::valueChanged);
    picker.setValue(QVariant());
    QCOMPARE(picker.value(), QVariant(QDate(2025, 1, 31)));
    QVERIFY(!picker.isNull());
    picker.setValue(QDate(2025, 1, 31));
    QCOMPARE(spy.count(), 0);

    // Taking the box away gives the date back.
    picker.setShowCheckBox(true);
    picker.setValue(QVariant());
    QVERIFY(picker.isNull());
    picker.setShowCheckBox(false);
    QCOMPARE(picker.value(), QVariant(QDate(2025, 1, 31)));
}

void TestDTPicker::checkBoxStandsForNoDate()
{
    DTPicker picker;
    picker.setShowCheckBox(true);
    picker.setValue(QDate(2026, 3, 1));
    picker.show();
    QSignalSpy spy(&picker, &DTPicker::valueChanged);

    picker.setValue(QVariant());
    QVERIFY(picker.isNull());
    QVERIFY(!picker.value().isValid());
    QVERIFY(!picker.dateEdit()->isEnabled());
    QCOMPARE(picker.date(), QDate(2026, 3, 1));
    QCOMPARE(spy.count(), 1);

    // Ticking the box by hand brings back the date it shows.
    QTest::mouseClick(picker.checkBox(), Qt::LeftButton, {}, QPoint(2, picker.checkBox()->height() / 2));
    QCOMPARE(picker.value(), QVariant(QDate(2026, 3, 1)));
    QVERIFY(picker.dateEdit()->isEnabled());
    QCOMPARE(spy.count(), 2);

    // A date set while there is none ticks the box: one change, not two.
    picker.setValue(QVariant());
    spy.clear();
    picker.setValue(QDate(2027, 5, 6));
    QCOMPARE(picker.value(), QVariant(QDate(2027, 5, 6)));
    QVERIFY(picker.checkBox()->isChecked());
    QCOMPARE(spy.count(), 1);
}

void TestDTPicker::userEditsAreSignalled()
{
    DTPicker picker;
    picker.setValue(QDate(2026, 12, 7));
    picker.show();
    QSignalSpy spy(&picker, &DTPicker::valueChanged);
    QDateEdit *edit = picker.dateEdit();
    edit->setFocus();
    edit->setCurrentSection(QDateTimeEdit::DaySection);
    QTest::keyClick(edit, Qt::Key_Up);
    QCOMPARE(picker.value(), QVariant(QDate(2026, 12, 8)));
    QCOMPARE(spy.count(), 1);
}

QTEST_MAIN(TestDTPicker)
#include "tst_dtpicker.moc"
