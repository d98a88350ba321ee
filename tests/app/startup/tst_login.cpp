#include "MessageCapture.h"
#include "TypeText.h"
#include "TestDatabase.h"
#include "shared/data/DataAccess.h"
#include "shared/data/NameLists.h"
#include "shared/data/Password.h"
#include "shared/forms/Windows.h"
#include "startup/Application.h"
#include "startup/MenuWindows.h"
#include "startup/frmControl.h"
#include "startup/frmLoad.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

namespace {

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void closeAllWindows()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows) {
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->close();
    }
    flushDeletes();
}

// A working window as the later ones behave: it brings the menu back on close.
class WorkingWindow : public QWidget
{
public:
    WorkingWindow() { setObjectName(QStringLiteral("frmClient")); }

protected:
    void closeEvent(QCloseEvent *event) override
    {
        ShowMainMenu();
        QWidget::closeEvent(event);
    }
};

} // namespace

class TestLogin : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void enterMovesToButtonThenLogsIn();
    void passwords_data();
    void passwords();
    void wrongPasswordClearsTheBox();
    void damagedDatabaseEndsTheStart();
    void menuLooksAsItShould();
    void workingWindowHidesAndRestoresMenu();
    void windowsByName();
    void menuOpensTheWindows_data();
    void menuOpensTheWindows();
    void menuDialogsAndClosingEndsTheProgram();
    void captionsAreTheWindowsOwn();

private:
    frmLoad *showLogin();
    void setStoredPassword(const QVariant &value, bool row = true);

    std::unique_ptr<TestDatabase> m_db;
    QStringList m_messages;
    MessageCapture m_capture{m_messages};
};

void TestLogin::initTestCase()
{
    InitApplication(*qApp);
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestLogin::init()
{
    m_db = std::make_unique<TestDatabase>();
    m_messages.clear();
}

void TestLogin::cleanup()
{
    closeAllWindows();
    m_db.reset();
}

frmLoad *TestLogin::showLogin()
{
    auto *login = new frmLoad;
    if (!login->load())
        return nullptr;
    login->show();
    login->activateWindow();
    if (!QTest::qWaitForWindowActive(login))
        return nullptr;
    return login;
}

void TestLogin::setStoredPassword(const QVariant &value, bool row)
{
    ExecSql(QStringLiteral("delete from tblinfo"));
    if (row)
        ExecSql(QStringLiteral("insert into tblinfo (password) values (?)"), {value});
}

void TestLogin::enterMovesToButtonThenLogsIn()
{
    QPointer<frmLoad> login = showLogin();
    QVERIFY(login);
    QCOMPARE(login->windowTitle(), QStringLiteral("登录"));
    auto *box = login->findChild<QLineEdit *>(QStringLiteral("txtPassword"));
    auto *ok = login->findChild<QPushButton *>(QStringLiteral("cmdOK"));
    QVERIFY(box && ok);
    QCOMPARE(box->echoMode(), QLineEdit::Password);
    QCOMPARE(QApplication::focusWidget(), box);

    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), ok);
    QVERIFY(login->isVisible());
    QVERIFY(!IsFormLoaded(QStringLiteral("frmControl")));
    QCOMPARE(box->text(), QString());

    QTest::keyClick(ok, Qt::Key_Return);
    flushDeletes();
    QVERIFY(!login);
    QWidget *menu = FindForm(QStringLiteral("frmControl"));
    QVERIFY(menu);
    QVERIFY(menu->isVisible());
    // Logging in fills the name tables.
    QCOMPARE(FieldCaptions().size(), 6);
}

void TestLogin::passwords_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<bool>("hasRow");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("admitted");
    const QVariant null(QMetaType::fromType<QString>());
    QTest::newRow("empty table, empty password") << QVariant() << false << "" << true;
    QTest::newRow("empty table, any password") << QVariant() << false << "x" << false;
    QTest::newRow("null admits nobody") << null << true << "" << false;
    QTest::newRow("clear text") << QVariant(QStringLiteral("abc")) << true << "abc" << true;
    QTest::newRow("quotes typed as they are") << QVariant(QStringLiteral("a'b\"c")) << true << "a'b\"c" << true;
    QTest::newRow("spaces count") << QVariant(QStringLiteral("abc")) << true << " abc " << false;
    QTest::newRow("case counts") << QVariant(QStringLiteral("abc")) << true << "ABC" << false;
    QTest::newRow("hashed") << QVariant(HashPassword(QStringLiteral("密码 1"))) << true << "密码 1" << true;
    QTest::newRow("hashed, wrong") << QVariant(HashPassword(QStringLiteral("密码 1"))) << true << "密码1" << false;
}

void TestLogin::passwords()
{
    QFETCH(QVariant, stored);
    QFETCH(bool, hasRow);
    QFETCH(QString, typed);
    QFETCH(bool, admitted);
    setStoredPassword(stored, hasRow);

    QPointer<frmLoad> login = showLogin();
    QVERIFY(login);
    auto *box = login->findChild<QLineEdit *>(QStringLiteral("txtPassword"));
    typeText(box, typed);
    QCOMPARE(box->text(), typed);
    QTest::keyClick(box, Qt::Key_Enter);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    flushDeletes();
    QCOMPARE(IsFormLoaded(QStringLiteral("frmControl")), admitted);
    QCOMPARE(login.isNull(), admitted);
    QVERIFY(m_messages.isEmpty());
}

void TestLogin::wrongPasswordClearsTheBox()
{
    setStoredPassword(QStringLiteral("right"));
    QPointer<frmLoad> login = showLogin();
    QVERIFY(login);
    auto *box = login->findChild<QLineEdit *>(QStringLiteral("txtPassword"));
    for (int attempt = 0; attempt < 3; ++attempt) {
        QTest::keyClicks(box, QStringLiteral("wrong"));
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(box->text(), QString());
        QCOMPARE(QApplication::focusWidget(), box);
    }
    QTest::keyClicks(box, QStringLiteral("right"));
    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    flushDeletes();
    QVERIFY(IsFormLoaded(QStringLiteral("frmControl")));
    QVERIFY(m_messages.isEmpty());
}

void TestLogin::damagedDatabaseEndsTheStart()
{
    const QString path = m_db->file();
    m_db.reset();
    QTemporaryDir dir;
    const QString damaged = dir.filePath(QStringLiteral("ovBill.db"));
    {
        QFile f(damaged);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(8192, 'x'));
    }
    qputenv("TOVIK_DATA_DIR", dir.path().toUtf8());
    frmLoad login;
    QVERIFY(!login.load());
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages.first().contains(QLatin1String("not a database")), qPrintable(m_messages.first()));
    QFile f(damaged);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray(8192, 'x'));
    Q_UNUSED(path);
}

void TestLogin::menuLooksAsItShould()
{
    frmControl menu;
    QCOMPARE(menu.windowTitle(), QStringLiteral("Orvane Tovik 251124"));
    const QList<QPair<QString, QString>> expected{
        {"cmdBill", "Tovik"}, {"cmdClient", "客户"}, {"cmdArtno", "编号"}, {"cmdServ", "可选项"},
        {"cmdQuery", "查询"}, {"cmdCopy", "备份"}, {"cmdPassword", "密码"}, {"cmdReg", "关于"},
    };
    for (const auto &[name, caption] : expected) {
        auto *b = menu.findChild<QPushButton *>(name);
        QVERIFY2(b, qPrintable(name));
        QCOMPARE(b->text(), caption);
    }
    QCOMPARE(menu.findChildren<QPushButton *>().size(), 8);
}

void TestLogin::workingWindowHidesAndRestoresMenu()
{
    auto *menu = new frmControl;
    int created = 0;
    menu->setWorkingWindow(QStringLiteral("cmdClient"), QStringLiteral("frmClient"), [&] {
        ++created;
        return new WorkingWindow;
    });
    auto *button = menu->findChild<QPushButton *>(QStringLiteral("cmdClient"));
    QVERIFY(button->isEnabled());
    menu->show();

    QTest::mouseClick(button, Qt::LeftButton);
    QWidget *window = FindForm(QStringLiteral("frmClient"));
    QVERIFY(window && window->isVisible());
    QVERIFY(!menu->isVisible());
    QCOMPARE(created, 1);

    window->close();
    flushDeletes();
    QVERIFY(menu->isVisible());
    QVERIFY(!IsFormLoaded(QStringLiteral("frmClient")));

    // A window that is still loaded is shown again, not made twice.
    QTest::mouseClick(button, Qt::LeftButton);
    FindForm(QStringLiteral("frmClient"))->hide();
    menu->show();
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(created, 2);
}

void TestLogin::windowsByName()
{
    QWidget a;
    a.setObjectName(QStringLiteral("frmQuery"));
    QVERIFY(IsFormLoaded(QStringLiteral("frmQuery")));
    QVERIFY(!IsFormLoaded(QStringLiteral("frmquery")));
    QVERIFY(!IsFormLoaded(QStringLiteral("frmQ")));

    QWidget b;
    b.setObjectName(QStringLiteral("frmBill"));
    QWidget stranger;
    stranger.setObjectName(QStringLiteral("dialog"));
    for (QWidget *w : {&a, &b, &stranger})
        w->show();
    b.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&b));
    QCOMPARE(ActiveForm(), &b);
    stranger.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&stranger));
    // A window that is not one of the program's forms leaves the active form.
    QCOMPARE(ActiveForm(), &b);
    a.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&a));
    QCOMPARE(ActiveForm(), &a);
}

void TestLogin::menuOpensTheWindows_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("caption");
    QTest::newRow("clients") << QStringLiteral("cmdClient") << QStringLiteral("frmClient") << QStringLiteral("客户");
    QTest::newRow("articles") << QStringLiteral("cmdArtno") << QStringLiteral("frmArtno") << QStringLiteral("编号");
    QTest::newRow("value lists") << QStringLiteral("cmdServ") << QStringLiteral("frmServ") << QStringLiteral("可选项");
    QTest::newRow("bill") << QStringLiteral("cmdBill") << QStringLiteral("frmBill") << QStringLiteral("Tovik");
    QTest::newRow("query") << QStringLiteral("cmdQuery") << QStringLiteral("frmQuery") << QStringLiteral("Tovik");
}

void TestLogin::menuOpensTheWindows()
{
    QFETCH(QString, button);
    QFETCH(QString, form);
    QFETCH(QString, caption);

    InitNameLists();
    QPointer<frmControl> menu = new frmControl;
    ConnectMenuWindows(menu);
    menu->show();
    auto *b = menu->findChild<QPushButton *>(button);
    QVERIFY(b && b->isEnabled());
    QTest::mouseClick(b, Qt::LeftButton);

    QWidget *window = FindForm(form);
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowTitle(), caption);
    QVERIFY(!menu->isVisible());

    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!IsFormLoaded(form));
    QVERIFY(menu->isVisible());
    delete menu;
}

void TestLogin::menuDialogsAndClosingEndsTheProgram()
{
    InitNameLists();
    QPointer<frmControl> menu = new frmControl;
    ConnectMenuWindows(menu);
    menu->show();

    // The password and about windows are modal over the menu; the backup
    // answers with a message.
    for (const auto &[button, dialog] : {std::pair{"cmdPassword", "frmPassword"}, std::pair{"cmdReg", "frmAbout"}}) {
        QString shown;
        QTimer::singleShot(0, [&shown] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                shown = modal->objectName();
                modal->close();
            }
        });
        QTest::mouseClick(menu->findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
        QCOMPARE(shown, QLatin1String(dialog));
        QVERIFY(menu->isVisible());
    }
    m_messages.clear();
    QTest::mouseClick(menu->findChild<QPushButton *>(QStringLiteral("cmdCopy")), Qt::LeftButton);
    QCOMPARE(m_messages.size(), 1);

    // Closing the menu, the last window, ends the event loop as the
    // program's does.
    QApplication::setQuitOnLastWindowClosed(true);
    QTimer::singleShot(0, menu, &QWidget::close);
    QTimer::singleShot(10000, [] { QCoreApplication::exit(1); });
    const int code = QApplication::exec();
    QApplication::setQuitOnLastWindowClosed(false);
    QCOMPARE(code, 0);
    flushDeletes();
    QVERIFY(!menu);
}

void TestLogin::captionsAreTheWindowsOwn()
{
    // A display name set on the application would be appended by the desktop
    // to every caption ("客户 — Tovik"); the captions themselves are checked
    // where each window is opened. Unset, it follows the application name.
    const QString name = QApplication::applicationName();
    QApplication::setApplicationName(QStringLiteral("probe"));
    const QString followed = QApplication::applicationDisplayName();
    QApplication::setApplicationName(name);
    QCOMPARE(followed, QStringLiteral("probe"));

    // Message boxes carry the program's name.
    const MsgHandler scripted = SetMsgHandler({});
    QString boxTitle;
    QTimer::singleShot(0, [&boxTitle] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            boxTitle = box->windowTitle();
            box->close();
        }
    });
    MsgBox(QStringLiteral("x"));
    SetMsgHandler(scripted);
    QCOMPARE(boxTitle, QStringLiteral("Tovik"));
}

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
