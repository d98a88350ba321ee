// The article picker driven from its search box as a user drives it, with a
// small owner window that records what the picker hands back.

#include "MessageCapture.h"
#include "TestDatabase.h"

#include "masterdata/frmSearchArtno.h"
#include "shared/data/DataAccess.h"
#include "shared/forms/RecordWindow.h"

#include <OVGrid.h>

#include <QLineEdit>
#include <QTableView>
#include <QtTest>

namespace {

// Choices arrive after the picker has closed: each owner notes a choice that
// arrives while its picker still shows.
QString noted(const QWidget *owner, const QString &str)
{
    const auto *picker = owner->findChild<frmSearchArtno *>();
    return picker && picker->isVisible() ? QStringLiteral("picker still open: ") + str : str;
}

// A record window that only records the choices handed to it.
class OwnerWindow : public RecordWindow
{
    Q_OBJECT
public:
    bool ovRst(int) override { return true; }
    void ovTotal() override { }
    void ovCmd(int) override { }
    bool ovSaveYN() override { return false; }
    void ovModalForm(const QString &str) override { chosen << noted(this, str); }

    QStringList chosen;
};

// A window that offers ovModalForm by name only.
class NamedOwner : public QWidget
{
    Q_OBJECT
public:
    Q_INVOKABLE void ovModalForm(const QString &str) { chosen << noted(this, str); }

    QStringList chosen;
};

} // namespace

class TestSearchArtno : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void listFollowsTheText_data();
    void listFollowsTheText();
    void keysSteerTheList();
    void choiceHandedBack_data();
    void choiceHandedBack();

private:
    frmSearchArtno *open(QWidget *owner);
    QLineEdit *query() const { return m_picker->findChild<QLineEdit *>(QStringLiteral("txtQuery")); }
    OVGrid *grid() const { return m_picker->findChild<OVGrid *>(QStringLiteral("grd")); }
    QStringList listed() const;

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<OwnerWindow> m_owner;
    QPointer<frmSearchArtno> m_picker;
    QStringList m_messages;
    MessageCapture m_capture{m_messages};
};

void TestSearchArtno::init()
{
    if (const QString why = TestDatabase::skipReason(); !why.isEmpty())
        QSKIP(qPrintable(why));
    m_db = std::make_unique<TestDatabase>();
    ExecSql(QStringLiteral("insert into artno (artno, product, color, price, query) values "
                           "('A-2', '红线', '2号', 3, 'a-2 hx 2h'),"
                           "('A-1', '红布', '1号', 12.5, 'a-1 hb 1h'),"
                           "('B-7', '蓝布', '7', 8, 'b-7 lb 7')"));
    m_messages.clear();
    m_owner = std::make_unique<OwnerWindow>();
}

void TestSearchArtno::cleanup()
{
    delete m_picker;
    m_owner.reset();
    m_db.reset();
}

frmSearchArtno *TestSearchArtno::open(QWidget *owner)
{
    owner->show();
    m_picker = new frmSearchArtno(owner);
    m_picker->show();
    m_picker->activateWindow();
    if (!QTest::qWaitForWindowExposed(m_picker))
        qWarning("picker not exposed");
    query()->setFocus();
    return m_picker;
}

QStringList TestSearchArtno::listed() const
{
    QStringList artnos;
    for (int r = 1; r < grid()->Rows(); ++r)
        artnos << grid()->TextMatrix(r, 2);
    return artnos;
}

void TestSearchArtno::listFollowsTheText_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("artnos");

    QTest::newRow("blanks only") << QStringLiteral("   ") << QStringLiteral("   ")
                                 << QStringLiteral("检索") << QStringList();
    QTest::newRow("no match") << QStringLiteral("zz") << QStringLiteral("zz")
                              << QStringLiteral("检索 - 0") << QStringList();
    QTest::newRow("ordered by number") << QStringLiteral("h") << QStringLiteral("h")
                                       << QStringLiteral("检索 - 2")
                                       << QStringList{QStringLiteral("A-1"), QStringLiteral("A-2")};
    QTest::newRow("either case") << QStringLiteral("LB") << QStringLiteral("LB")
                                 << QStringLiteral("检索 - 1") << QStringList{QStringLiteral("B-7")};
    QTest::newRow("quotes and brackets never typed")
        << QStringLiteral("'a[-]2\"") << QStringLiteral("a-2") << QStringLiteral("检索 - 1")
        << QStringList{QStringLiteral("A-2")};
    QTest::newRow("percent is a wildcard") << QStringLiteral("h%1") << QStringLiteral("h%1")
                                           << QStringLiteral("检索 - 1")
                                           << QStringList{QStringLiteral("A-1")};
    QTest::newRow("underscore is a wildcard") << QStringLiteral("a_2") << QStringLiteral("a_2")
                                              << QStringLiteral("检索 - 1")
                                              << QStringList{QStringLiteral("A-2")};
}

void TestSearchArtno::listFollowsTheText()
{
    QFETCH(QString, typed);
    QFETCH(QString, text);
    QFETCH(QString, caption);
    QFETCH(QStringList, artnos);

    open(m_owner.get());
    QTest::keyClicks(query(), typed);
    QCOMPARE(query()->text(), text);
    QCOMPARE(m_picker->windowTitle(), caption);
    QCOMPARE(listed(), artnos);
    // Enter on an empty list chooses nothing and keeps the picker open.
    if (artnos.isEmpty()) {
        QTest::keyClick(query(), Qt::Key_Return);
        QVERIFY(m_picker->isVisible());
        QVERIFY(m_owner->chosen.isEmpty());
    }
    QVERIFY(m_messages.isEmpty());
}

void TestSearchArtno::keysSteerTheList()
{
    open(m_owner.get());
    OVGrid *grd = grid();
    QCOMPARE(grd->Rows(), 1);
    QCOMPARE(grd->TextMatrix(0, 2), QStringLiteral("编号"));

    // Each keystroke filters: "a" lists two, "a-1" one, backspace two again.
    QTest::keyClick(query(), Qt::Key_A);
    QCOMPARE(listed(), (QStringList{QStringLiteral("A-1"), QStringLiteral("A-2")}));
    QTest::keyClicks(query(), QStringLiteral("-1"));
    QCOMPARE(listed(), QStringList{QStringLiteral("A-1")});
    QCOMPARE(grd->TextMatrix(1, 5), QStringLiteral("12.50"));
    QTest::keyClick(query(), Qt::Key_Backspace);
    QTest::keyClick(query(), Qt::Key_Backspace);
    QCOMPARE(m_picker->windowTitle(), QStringLiteral("检索 - 2"));
    QCOMPARE(grd->Row(), 1);

    // Up on the first row and Down on the last change nothing; the text and
    // the focus stay in the search box.
    QTest::keyClick(query(), Qt::Key_Up);
    QCOMPARE(grd->Row(), 1);
    QTest::keyClick(query(), Qt::Key_Down);
    QCOMPARE(grd->Row(), 2);
    QTest::keyClick(query(), Qt::Key_Down);
    QCOMPARE(grd->Row(), 2);
    QTest::keyClick(query(), Qt::Key_Up);
    QCOMPARE(grd->Row(), 1);
    QTest::keyClick(query(), Qt::Key_Down);
    QCOMPARE(query()->text(), QStringLiteral("a"));
    QCOMPARE(QApplication::focusWidget(), query());

    // An article deleted after the list was read cannot be chosen.
    ExecSql(QStringLiteral("delete from artno where artno='A-2'"));
    QTest::keyClick(query(), Qt::Key_Return);
    QCOMPARE(m_messages, QStringList{QStringLiteral("第 2 行：A-2\r\n\r\n已删除！")});
    QVERIFY(m_picker->isVisible());
    QVERIFY(m_owner->chosen.isEmpty());

    // The list read again no longer offers it.
    QTest::keyClick(query(), Qt::Key_Space);
    QCOMPARE(listed(), QStringList{QStringLiteral("A-1")});
}

void TestSearchArtno::choiceHandedBack_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("byName");
    QTest::addColumn<QStringList>("chosen");

    const QStringList second{QStringLiteral("A-2")};
    QTest::newRow("Enter") << QStringLiteral("enter") << false << second;
    QTest::newRow("keypad Enter") << QStringLiteral("keypad") << false << second;
    QTest::newRow("double-click") << QStringLiteral("dblclick") << false << second;
    QTest::newRow("Esc") << QStringLiteral("esc") << false << QStringList();
    QTest::newRow("window called by name") << QStringLiteral("enter") << true << second;
}

void TestSearchArtno::choiceHandedBack()
{
    QFETCH(QString, how);
    QFETCH(bool, byName);
    QFETCH(QStringList, chosen);

    NamedOwner named;
    QWidget *owner = byName ? static_cast<QWidget *>(&named) : m_owner.get();
    open(owner);
    QTest::keyClicks(query(), QStringLiteral("a-"));
    QTest::keyClick(query(), Qt::Key_Down);
    QCOMPARE(grid()->Row(), 2);

    if (how == QLatin1String("enter")) {
        QTest::keyClick(query(), Qt::Key_Return);
    } else if (how == QLatin1String("keypad")) {
        QTest::keyClick(query(), Qt::Key_Enter, Qt::KeypadModifier);
    } else if (how == QLatin1String("esc")) {
        QTest::keyClick(query(), Qt::Key_Escape);
    } else {
        auto *view = grid()->findChild<QTableView *>();
        // Grid cell (2, 3) is the view's index (1, 2).
        const QPoint cell = view->visualRect(view->model()->index(1, 2)).center();
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell);
    }

    QVERIFY(!m_picker->isVisible());
    QCOMPARE(byName ? named.chosen : m_owner->chosen, chosen);
    QVERIFY(m_messages.isEmpty());
    m_owner->hide();
}

QTEST_MAIN(TestSearchArtno)
#include "tst_searchartno.moc"
