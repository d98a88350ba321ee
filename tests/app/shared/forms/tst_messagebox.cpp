#include "shared/forms/MessageBox.h"

#include <QtTest>

class TestMessageBox : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void handlerSeesTextAndScriptsAnswer();
    void rowMessage();
};

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

void TestMessageBox::handlerSeesTextAndScriptsAnswer()
{
    QStringList seen;
    const MsgHandler previous = SetMsgHandler([&](const QString &text, MsgButtons buttons, MsgIcon) {
        seen << text;
        return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
    });
    QCOMPARE(MsgBox(QStringLiteral("删除？"), MsgButtons::YesNo, MsgIcon::Question), MsgAnswer::No);
    QCOMPARE(MsgBox(QStringLiteral("编号？")), MsgAnswer::Ok);
    QCOMPARE(seen, (QStringList{QStringLiteral("删除？"), QStringLiteral("编号？")}));
    SetMsgHandler(previous);
}

QTEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
