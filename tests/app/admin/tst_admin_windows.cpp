#include "MessageCapture.h"
#include "TestDatabase.h"
#include "TestSettings.h"
#include "TypeText.h"
#include "admin/frmAbout.h"
#include "admin/frmPassword.h"
#include "shared/data/DataAccess.h"
#include "startup/frmLoad.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

// Receives the addresses the about window asks the desktop to open.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;

public Q_SLOTS:
    void open(const QUrl &url) { urls << url; }
};

QStringList storedPasswords()
{
    QStringList values;
    QSqlQuery query = ExecSql(QStringLiteral("select password from tblinfo"));
    while (query.next())
        values << query.value(0).toString();
    return values;
}

} // namespace

class TestAdminWindows : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void changePassword_data();
    void changePassword();
    void databaseErrorKeepsTheTypedPassword();
    void aboutWindow();

private:
    frmPassword *showPasswordWindow();

    std::unique_ptr<TestDatabase> m_db;
    QStringList m_messages;
    MessageCapture m_capture{m_messages};
};

void TestAdminWindows::init()
{
    m_db = std::make_unique<TestDatabase>();
    m_messages.clear();
}

void TestAdminWindows::cleanup()
{
    m_db.reset();
}

frmPassword *TestAdminWindows::showPasswordWindow()
{
    auto *window = new frmPassword;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        return nullptr;
    return window;
}

void TestAdminWindows::changePassword_data()
{
    QTest::addColumn<QStringList>("oldRows");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("inBox");
    QTest::addColumn<QString>("logsIn");
    QTest::addColumn<QString>("refused");
    QTest::newRow("clear old password replaced")
        << QStringList{QStringLiteral("old")} << "新密码1" << "新密码1" << "新密码1" << "old";
    QTest::newRow("every row") << QStringList{QStringLiteral("a"), QStringLiteral("b")} << "x" << "x" << "x"
                               << "a";
    QTest::newRow("empty password") << QStringList{QStringLiteral("old")} << "" << "" << "" << "old";
    QTest::newRow("spaces trimmed") << QStringList{QString()} << "  pw  " << "  pw  " << "pw" << "  pw  ";
    QTest::newRow("quotes and brackets not typed")
        << QStringList{QString()} << "a'b[c]\"d" << "abcd" << "abcd" << "";
    QTest::newRow("no row yet") << QStringList{} << "x" << "x" << "x" << "";
}

void TestAdminWindows::changePassword()
{
    QFETCH(QStringList, oldRows);
    QFETCH(QString, typed);
    QFETCH(QString, inBox);
    QFETCH(QString, logsIn);
    QFETCH(QString, refused);
    ExecSql(QStringLiteral("delete from tblinfo"));
    for (const QString &old : oldRows)
        ExecSql(QStringLiteral("insert into tblinfo (password) values (?)"), {old});

    QPointer<frmPassword> window = showPasswordWindow();
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("密码"));
    QVERIFY(window->isModal());
    auto *box = window->findChild<QLineEdit *>(QStringLiteral("txtPassword"));
    auto *ok = window->findChild<QPushButton *>(QStringLiteral("cmdOK"));
    QVERIFY(box && ok);
    QCOMPARE(box->echoMode(), QLineEdit::Password);
    QCOMPARE(ok->text(), QStringLiteral("保存"));

    typeText(box, typed);
    QCOMPARE(box->text(), inBox);
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), ok);
    QCOMPARE(m_messages, QStringList());
    QTest::keyClick(ok, Qt::Key_Return);
    QCOMPARE(m_messages, QStringList{QStringLiteral("OK")});
    QTRY_VERIFY(!window);

    const QStringList stored = storedPasswords();
    QCOMPARE(stored.size(), qMax<qsizetype>(oldRows.size(), 1));
    for (const QString &value : stored) {
        QVERIFY2(value.startsWith(QLatin1String("pbkdf2-sha256$")), qPrintable(value));
    }
    // Login reads the first row; every row must hold the new password.
    QVERIFY(CheckPassword(logsIn));
    if (logsIn != refused)
        QVERIFY(!CheckPassword(refused));
}

void TestAdminWindows::databaseErrorKeepsTheTypedPassword()
{
    ExecSql(QStringLiteral("drop table tblinfo"));
    QPointer<frmPassword> window = showPasswordWindow();
    QVERIFY(window);
    auto *box = window->findChild<QLineEdit *>(QStringLiteral("txtPassword"));
    typeText(box, QStringLiteral("keep me"));
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages.first().contains(QLatin1String("tblinfo")), qPrintable(m_messages.first()));
    QVERIFY(window && window->isVisible());
    QCOMPARE(box->text(), QStringLiteral("keep me"));
    window->close();
}

void TestAdminWindows::aboutWindow()
{
    const TestSettings settings;
    QCOMPARE(AboutAddress(), QStringLiteral("https://www.orvane.com/tovik"));
    const QString address = QStringLiteral("https://example.org/下载");
    settings.write({{QStringLiteral("url"), address}});
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "open");

    frmAbout about;
    about.show();
    QCOMPARE(about.windowTitle(), QStringLiteral("关于"));
    QVERIFY(about.isModal());
    QVERIFY(about.findChild<QLabel *>(QStringLiteral("lblVersion"))->text() == QStringLiteral("【版  本】210104"));
    auto *link = about.findChild<QLabel *>(QStringLiteral("Label3"));
    auto *picture = about.findChild<QLabel *>(QStringLiteral("imgQuery2"));
    QVERIFY(link && picture);
    QCOMPARE(link->text(), address);
    QCOMPARE(link->toolTip(), QStringLiteral("打开链接"));

    QGuiApplication::clipboard()->setText(QStringLiteral("something else"));
    QTest::mouseClick(picture, Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), address);
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(recorder.urls, QList<QUrl>{QUrl(address)});
    QVERIFY(m_messages.isEmpty());
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
}

QTEST_MAIN(TestAdminWindows)
#include "tst_admin_windows.moc"
