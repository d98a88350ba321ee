#include "shared/forms/MessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

class TestMessageBox : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void boxShowsAndAnswers_data();
    void boxShowsAndAnswers();
    void rowMessage();
};

void TestMessageBox::boxShowsAndAnswers_data()
{
    QTest::addColumn<MsgButtons>("buttons");
    QTest::addColumn<MsgIcon>("icon");
    QTest::addColumn<QMessageBox::StandardButtons>("offered");
    QTest::addColumn<QMessageBox::Icon>("shownIcon");
    QTest::addColumn<QMessageBox::StandardButton>("pressed");
    QTest::addColumn<MsgAnswer>("answer");
    QTest::newRow("ok") << MsgButtons::Ok << MsgIcon::Information << QMessageBox::StandardButtons(QMessageBox::Ok)
                        << QMessageBox::Information << QMessageBox::Ok << MsgAnswer::Ok;
    QTest::newRow("yes") << MsgButtons::YesNo << MsgIcon::Question << (QMessageBox::Yes | QMessageBox::No)
                         << QMessageBox::Question << QMessageBox::Yes << MsgAnswer::Yes;
    QTest::newRow("no") << MsgButtons::YesNo << MsgIcon::Warning << (QMessageBox::Yes | QMessageBox::No)
                        << QMessageBox::Warning << QMessageBox::No << MsgAnswer::No;
    QTest::newRow("cancel") << MsgButtons::OkCancel << MsgIcon::Critical << (QMessageBox::Ok | QMessageBox::Cancel)
                            << QMessageBox::Critical << QMessageBox::Cancel << MsgAnswer::Cancel;
    QTest::newRow("three") << MsgButtons::YesNoCancel << MsgIcon::None
                           << (QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel) << QMessageBox::NoIcon
                           << QMessageBox::Cancel << MsgAnswer::Cancel;
}

// With no handler installed, the user sees a real box and answers it.
void TestMessageBox::boxShowsAndAnswers()
{
    QFETCH(MsgButtons, buttons);
    QFETCH(MsgIcon, icon);
    QFETCH(QMessageBox::StandardButton, pressed);
    bool shown = false;
    QMessageBox::StandardButtons seenButtons;
    QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
    QString seenText;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        shown = box != nullptr;
        if (!shown)
            return;
        seenText = box->text();
        seenButtons = box->standardButtons();
        seenIcon = box->icon();
        QTest::mouseClick(box->button(pressed), Qt::LeftButton);
    });
    const MsgAnswer answer = MsgBox(QStringLiteral("删除？"), buttons, icon);
    QVERIFY2(shown, "no message box was shown");
    QCOMPARE(seenText, QStringLiteral("删除？"));
    QTEST(seenButtons, "offered");
    QTEST(seenIcon, "shownIcon");
    QTEST(answer, "answer");
}

void TestMessageBox::rowMessage()
{
    QString seen;
    MsgButtons seenButtons = MsgButtons::YesNo;
    const MsgHandler previous = SetMsgHandler([&](const QString &text, MsgButtons buttons, MsgIcon) {
        seen = text;
        seenButtons = buttons;
        return MsgAnswer::Ok;
    });
    ShowRowMessage(12, QStringLiteral("编号？"));
    SetMsgHandler(previous);
    QCOMPARE(seen, QStringLiteral("第 12 行：\r\n\r\n编号？"));
    QCOMPARE(seenButtons, MsgButtons::Ok);
}

QTEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
