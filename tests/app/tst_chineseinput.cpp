// Chinese typed through a real input method into the grid cells where users
// type names and products: fcitx5 with pinyin on an X display, the keys sent
// by xdotool, the words read back from the database. tools/ime-session.sh
// provides the display, the session bus and fcitx5; without it this skips.

#include "MessageCapture.h"
#include "TestDatabase.h"

#include "bill/BillColumns.h"
#include "bill/frmBill.h"
#include "masterdata/frmClient.h"
#include "shared/data/DataAccess.h"
#include "shared/data/NameLists.h"

#include <OVGrid.h>

#include <QComboBox>
#include <QProcess>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QtTest>

namespace {

// Runs an xdotool or fcitx5-remote command line to its end; its output.
QByteArray run(const QString &commandLine)
{
    const QStringList args = QProcess::splitCommand(commandLine);
    QProcess helper;
    helper.start(args.first(), args.mid(1));
    if (!helper.waitForFinished(10000) || helper.exitCode() != 0) {
        helper.kill();
        qWarning("%s failed: %s", qPrintable(commandLine), helper.readAllStandardError().constData());
    }
    return helper.readAllStandardOutput().trimmed();
}

bool showActive(QWidget *window)
{
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

bool click(QWidget *widget, QPoint at)
{
    const QPoint global = widget->mapToGlobal(at);
    run(QStringLiteral("xdotool mousemove %1 %2 click 1").arg(global.x()).arg(global.y()));
    return QTest::qWaitFor([widget] { return widget->hasFocus(); }, 5000);
}

bool clickCell(OVGrid *grid, int row, int col)
{
    auto *view = grid->findChild<QTableView *>();
    return click(view, view->viewport()->geometry().topLeft()
                           + view->visualRect(view->model()->index(row - 1, col - 1)).center())
        && QTest::qWaitFor([&] { return grid->Row() == row && grid->Col() == col; }, 5000);
}

// The trigger key, as a user switches the input method on; fcitx5-remote
// prints 2 once the focused input method is active.
bool switchOn()
{
    run(QStringLiteral("xdotool key ctrl+space"));
    return QTest::qWaitFor([] { return run(QStringLiteral("fcitx5-remote")) == "2"; }, 5000);
}

// Types text, then presses keys: space takes the first word of a pinyin.
void type(const QString &text, const QString &keys)
{
    run(QStringLiteral("xdotool type --delay 60 ") + text);
    run(QStringLiteral("xdotool key --delay 200 ") + keys);
}

QStringList stored(const char *sql)
{
    QSqlQuery q = ExecSql(QLatin1String(sql));
    QStringList result;
    while (q.next())
        result << q.value(0).toString();
    return result;
}

} // namespace

class TestChineseInput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void clientName_data();
    void clientName();
    void billLineProduct();

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<QWidget> m_window;
    QStringList m_messages;
    MessageCapture m_capture{m_messages, MsgAnswer::Yes};
};

void TestChineseInput::initTestCase()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb")
        || qEnvironmentVariable("QT_IM_MODULE") != QLatin1String("fcitx"))
        QSKIP("needs an X display with fcitx5: run through tools/ime-session.sh");
}

void TestChineseInput::init()
{
    m_db = std::make_unique<TestDatabase>();
    InitNameLists();
    m_messages.clear();
}

void TestChineseInput::cleanup()
{
    m_window.reset();
    m_db.reset();
}

void TestChineseInput::clientName_data()
{
    QTest::addColumn<bool>("onBeforeClick"); // switched on in the contact cell beside
    QTest::addColumn<QString>("pinyin");
    QTest::addColumn<QString>("word");
    QTest::newRow("on, then the click") << true << QStringLiteral("zhangsan") << QStringLiteral("张三");
    QTest::newRow("click, then on") << false << QStringLiteral("wangwu") << QStringLiteral("王五");
}

void TestChineseInput::clientName()
{
    QFETCH(bool, onBeforeClick);
    QFETCH(QString, pinyin);
    QFETCH(QString, word);

    auto *form = new frmClient;
    m_window.reset(form);
    QVERIFY(showActive(form));
    QVERIFY(clickCell(form->grid(), 1, onBeforeClick ? 3 : 2));
    QVERIFY(switchOn());
    QVERIFY(clickCell(form->grid(), 1, 2));
    type(pinyin, QStringLiteral("space Return"));
    QTRY_COMPARE_WITH_TIMEOUT(stored("select client from client"), QStringList{word}, 10000);
    QVERIFY(m_messages.isEmpty());
}

void TestChineseInput::billLineProduct()
{
    auto *form = new frmBill;
    m_window.reset(form);
    QVERIFY(showActive(form));
    // The article number in Latin letters with the input method off.
    QVERIFY(clickCell(form->grd(), 1, BillCol::Artno));
    type(QStringLiteral("z9"), QStringLiteral("Return"));
    QTRY_COMPARE_WITH_TIMEOUT(form->grd()->TextMatrix(1, BillCol::Artno), QStringLiteral("z9"), 10000);
    // Switched on in the client box, where it always worked; then the product.
    auto *client = form->findChild<QComboBox *>(QStringLiteral("cboClient"));
    QVERIFY(click(client, client->rect().center()));
    QVERIFY(switchOn());
    type(QStringLiteral("zhangsan"), QStringLiteral("space"));
    QTRY_COMPARE_WITH_TIMEOUT(client->currentText(), QStringLiteral("张三"), 10000);
    QVERIFY(clickCell(form->grd(), 1, BillCol::Product));
    type(QStringLiteral("sichou"), QStringLiteral("space Return"));
    QTRY_COMPARE_WITH_TIMEOUT(form->grd()->TextMatrix(1, BillCol::Product), QStringLiteral("丝绸"), 10000);

    QTest::mouseClick(form->findChild<QPushButton *>(QStringLiteral("cmdSave")), Qt::LeftButton);
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(QLatin1Char('|'))));
    QCOMPARE(stored("select client || ',' || artno || ',' || product from bill join billsub on billsub.pid = bill.id"),
             QStringList{QStringLiteral("张三,z9,丝绸")});
}

QTEST_MAIN(TestChineseInput)
#include "tst_chineseinput.moc"
