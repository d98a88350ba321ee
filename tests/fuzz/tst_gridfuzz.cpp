// Random operations on a real OVGrid: property sets with values in and out
// of range, layout strings with junk, row operations, cell access, loads
// from a table of random bytes, title clicks and key presses into the
// editors. After every step the grid's invariants must hold; a failure
// names the seed, the step and the last operations, so it can be replayed
// with TOVIK_FUZZ_SEED.

#include "OVGrid.h"
#include "../TypeText.h"

#include <QHeaderView>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QtTest>

#include <deque>
#include <limits>

namespace {

constexpr quint32 DefaultSeed = 63000;
constexpr int DefaultSteps = 10000;
const QString Connection = QStringLiteral("fuzz");

int fromEnvironment(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

// Draws the random values of one run.
class Dice
{
public:
    explicit Dice(quint32 seed) : m_rng(seed) {}

    int below(int n) { return int(m_rng.bounded(quint32(n))); }
    bool chance(int percent) { return below(100) < percent; }
    int between(int low, int high) { return low + below(high - low + 1); }

    // Mostly a value inside 0 … size − 1, sometimes just outside it or absurd.
    int index(int size)
    {
        switch (below(10)) {
        case 0:
            return pick<int>({-1, size, size + 1, std::numeric_limits<int>::max(), std::numeric_limits<int>::min()});
        case 1:
            return 0;
        default:
            return size > 0 ? below(size) : 0;
        }
    }

    template<typename T>
    T pick(std::initializer_list<T> values) { return *(values.begin() + below(int(values.size()))); }

    QString junk(int maxLength = 12)
    {
        static const QString pieces[] = {
            QStringLiteral("红色"), QStringLiteral("\t"), QStringLiteral("\r\n"), QStringLiteral("|"),
            QStringLiteral(";"), QStringLiteral("12.5"), QStringLiteral("-0"), QStringLiteral("*"),
            QStringLiteral("1e308"), QStringLiteral("chk"), QStringLiteral("0.00"), QStringLiteral("z0.00"),
            QStringLiteral("yy-mm-dd"), QStringLiteral("cbo"), QStringLiteral("txt"), QStringLiteral("cbodata"),
            QStringLiteral("3;"), QStringLiteral("2147483648"), QStringLiteral("１２"), QString(QChar(0xD800)),
            QStringLiteral("\uFFFD"), QStringLiteral("false"), QStringLiteral(" "), QStringLiteral("x")};
        QString text;
        const int count = below(maxLength + 1);
        for (int i = 0; i < count; ++i)
            text += chance(80) ? pieces[below(int(std::size(pieces)))] : QString::number(between(-3, 40));
        return text;
    }

    QByteArray bytes()
    {
        QByteArray data;
        const int size = below(10);
        for (int i = 0; i < size; ++i)
            data += char(chance(30) ? between(0x20, 0x7E) : between(0x80, 0xFF));
        return data;
    }

private:
    QRandomGenerator m_rng;
};

} // namespace

class tst_GridFuzz : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void randomOperationsKeepTheInvariants();

private:
    void step(OVGrid &grid, Dice &dice);
    void bindRandomRecords(OVGrid &grid, Dice &dice);
    void clickTitle(OVGrid &grid, Dice &dice);
    void pressKeys(OVGrid &grid, Dice &dice);
    QString brokenInvariant(const OVGrid &grid) const;

    std::deque<QString> m_lastOps;
};

// The grid warns about every malformed layout string it is given; thousands
// of those would bury a real failure in the log.
QtMessageHandler previousHandler = nullptr;

void dropWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtWarningMsg && type != QtDebugMsg && type != QtInfoMsg)
        previousHandler(type, context, message);
}

void tst_GridFuzz::initTestCase()
{
    previousHandler = qInstallMessageHandler(dropWarnings);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), Connection);
    db.setDatabaseName(QStringLiteral(":memory:"));
    QVERIFY(db.open());
    QSqlQuery setup(db);
    QVERIFY(setup.exec(QStringLiteral("create table t(a, b, c)")));
    QVERIFY(setup.prepare(QStringLiteral("insert into t values (?, cast(? as text), ?)")));
    Dice dice(7);
    for (int i = 0; i < 60; ++i) {
        setup.addBindValue(dice.bytes());
        setup.addBindValue(dice.bytes());
        setup.addBindValue(dice.chance(50) ? QVariant(dice.between(-5, 500)) : QVariant(dice.junk(3)));
        QVERIFY(setup.exec());
    }
}

void tst_GridFuzz::cleanupTestCase()
{
    qInstallMessageHandler(previousHandler);
    QSqlDatabase::removeDatabase(Connection);
}

void tst_GridFuzz::randomOperationsKeepTheInvariants()
{
    const auto seed = quint32(fromEnvironment("TOVIK_FUZZ_SEED", int(DefaultSeed)));
    const int steps = fromEnvironment("TOVIK_FUZZ_STEPS", DefaultSteps);
    Dice dice(seed);
    OVGrid grid;
    grid.resize(500, 300);
    grid.show();
    grid.setCols(5);
    for (int i = 1; i <= steps; ++i) {
        step(grid, dice);
        const QString broken = brokenInvariant(grid);
        if (!broken.isEmpty()) {
            QStringList ops(m_lastOps.begin(), m_lastOps.end());
            QFAIL(qPrintable(QStringLiteral("seed %1, step %2: %3\nlast operations:\n  %4")
                                 .arg(seed).arg(i).arg(broken, ops.join(QStringLiteral("\n  ")))));
        }
    }
}

QString tst_GridFuzz::brokenInvariant(const OVGrid &grid) const
{
    const int rows = grid.Rows();
    const int cols = grid.Cols();
    if (rows < 1 || rows > OVGrid::MaxLoadedRows)
        return QStringLiteral("Rows is %1").arg(rows);
    if (cols < 1 || cols > OVGrid::MaxCols)
        return QStringLiteral("Cols is %1").arg(cols);
    if (grid.Row() < 0 || grid.Row() >= rows)
        return QStringLiteral("Row %1 outside %2 rows").arg(grid.Row()).arg(rows);
    if (grid.Col() < 0 || grid.Col() >= cols)
        return QStringLiteral("Col %1 outside %2 columns").arg(grid.Col()).arg(cols);
    if (!grid.TextMatrix(rows, 0).isEmpty() || !grid.TextMatrix(0, cols).isEmpty())
        return QStringLiteral("a cell outside the grid has text");
    return QString();
}

void tst_GridFuzz::step(OVGrid &grid, Dice &dice)
{
    const int rows = grid.Rows();
    const int cols = grid.Cols();
    QString op;
    switch (dice.below(22)) {
    case 0: {
        // Large grids are rare and short-lived, or the run would crawl.
        const int n = dice.chance(1) ? dice.pick({OVGrid::MaxRows, OVGrid::MaxRows + 1, 100000})
                                     : dice.pick({dice.between(-2, 40), dice.between(1, 12), 1});
        op = QStringLiteral("setRows(%1)").arg(n);
        grid.setRows(n);
        break;
    }
    case 1: {
        const int n = dice.chance(3) ? dice.pick({OVGrid::MaxCols, OVGrid::MaxCols + 1, std::numeric_limits<int>::max()})
                                     : dice.between(-1, 12);
        op = QStringLiteral("setCols(%1)").arg(n);
        grid.setCols(n);
        break;
    }
    case 2: {
        const int r = dice.index(rows);
        const int c = dice.index(cols);
        op = QStringLiteral("setRow(%1) setCol(%2)").arg(r).arg(c);
        grid.setRow(r);
        grid.setCol(c);
        break;
    }
    case 3: {
        const int r = dice.index(rows);
        const int c = dice.index(cols);
        const QString text = dice.junk();
        op = QStringLiteral("setTextMatrix(%1, %2, %3)").arg(r).arg(c).arg(text);
        grid.setTextMatrix(r, c, text);
        grid.TextMatrix(r, c);
        break;
    }
    case 4: {
        const QString text = dice.junk();
        op = QStringLiteral("setText(%1)").arg(text);
        grid.setText(text);
        grid.setEditText(dice.junk(3));
        break;
    }
    case 5:
    case 6: {
        const QString item = dice.junk(20);
        const int r = dice.chance(50) ? 0 : dice.index(rows);
        const bool setRow = dice.chance(30);
        op = QStringLiteral("AddItem(%1, %2, %3)").arg(item).arg(r).arg(setRow);
        grid.AddItem(item, r, setRow);
        break;
    }
    case 7: {
        const int r = dice.index(rows);
        op = QStringLiteral("RemoveItem(%1) / RemoveRowOne").arg(r);
        if (dice.chance(80))
            grid.RemoveItem(r);
        else
            grid.RemoveRowOne(r);
        break;
    }
    case 8: {
        const int r1 = dice.index(rows), r2 = dice.index(rows), c1 = dice.index(cols), c2 = dice.index(cols);
        op = QStringLiteral("CopyRow(%1, %2, %3, %4)").arg(r1).arg(r2).arg(c1).arg(c2);
        grid.CopyRow(r1, r2, c1, c2);
        break;
    }
    case 9: {
        const auto setting = OVGrid::CellPropertySettings(dice.between(-1, 6));
        const int r1 = dice.index(rows), c1 = dice.index(cols), r2 = dice.index(rows), c2 = dice.index(cols);
        const QVariant value = dice.pick<QVariant>({dice.junk(8), dice.between(-1, 0xFFFFFF), true, QVariant()});
        op = QStringLiteral("Cell(%1, %2, %3, %4, %5)").arg(int(setting)).arg(r1).arg(c1).arg(r2).arg(c2);
        grid.Cell(setting, r1, c1, r2, c2);
        grid.setCell(setting, r1, c1, r2, c2, value);
        break;
    }
    case 10: {
        const auto setting = OVGrid::SubTotalSettings(dice.between(-1, 6));
        op = QStringLiteral("Aggregate(%1)").arg(int(setting));
        grid.Aggregate(setting, dice.index(rows), dice.index(cols), dice.index(rows), dice.index(cols));
        break;
    }
    case 11:
    case 12: {
        static const char *const lists[] = {"ListFormat", "ListTag", "ListTitle", "ListWidth", "ListAlignment",
                                            "ListMerge", "ListSpecSort", "ListWordWrap", "ListDefault"};
        const char *name = lists[dice.below(int(std::size(lists)))];
        const QString value = dice.junk();
        op = QStringLiteral("%1 = %2").arg(QLatin1String(name), value);
        grid.setProperty(name, value);
        break;
    }
    case 13: {
        const int c = dice.index(cols);
        const QString value = dice.junk(6);
        op = QStringLiteral("single-column setters (%1, %2)").arg(c).arg(value);
        grid.setListCombo(c, value);
        grid.setListTagSingle(c, value);
        grid.setListFormatSingle(c, value);
        grid.AddCboList(c, value);
        break;
    }
    case 14: {
        static const char *const flags[] = {"AllowRowNo", "AllowAlternate", "AllowSort", "Editable",
                                            "WordWrap", "AllowRowDelete", "Redraw"};
        const char *name = flags[dice.below(int(std::size(flags)))];
        const bool on = dice.chance(60);
        op = QStringLiteral("%1 = %2").arg(QLatin1String(name)).arg(on);
        grid.setProperty(name, on);
        break;
    }
    case 15: {
        const int twips = dice.pick({dice.between(-100, 2000), 30000000, std::numeric_limits<int>::max(), -1});
        const int merge = dice.between(-1, 5);
        op = QStringLiteral("RowHeightMin %1, MergeCells %2").arg(twips).arg(merge);
        grid.setRowHeightMin(twips);
        grid.setMergeCells(merge);
        grid.setCurrentRowMode(OVGrid::CurrentRowModes(dice.between(-1, 3)));
        break;
    }
    case 16:
        op = QStringLiteral("BindRst");
        bindRandomRecords(grid, dice);
        break;
    case 17:
        op = QStringLiteral("title click");
        clickTitle(grid, dice);
        break;
    case 18:
    case 19:
        op = QStringLiteral("keys");
        pressKeys(grid, dice);
        break;
    case 20: {
        const int r = dice.index(rows);
        op = QStringLiteral("AutoLastRow, RowVisible(%1), UpdateRowNo(%1)").arg(r);
        grid.AutoLastRow();
        grid.RowVisible(r);
        grid.UpdateRowNo(r);
        break;
    }
    default: {
        op = QStringLiteral("property bag");
        OVGrid::PropertyBag bag = grid.WriteProperties();
        for (auto &item : bag) {
            if (dice.chance(20))
                item.second = dice.pick<QVariant>({dice.junk(4), dice.between(-5, 100), std::numeric_limits<int>::max(),
                                                   std::numeric_limits<int>::min()});
        }
        grid.ReadProperties(bag);
        grid.Message(dice.between(-1, 3), dice.junk(4));
        break;
    }
    }
    m_lastOps.push_back(op);
    if (m_lastOps.size() > 8)
        m_lastOps.pop_front();
}

void tst_GridFuzz::bindRandomRecords(OVGrid &grid, Dice &dice)
{
    QSqlQuery query(QSqlDatabase::database(Connection));
    query.setForwardOnly(dice.chance(80));
    const QString columns = dice.pick({QStringLiteral("a, b, c"), QStringLiteral("b"), QStringLiteral("c, a")});
    QVERIFY(query.exec(QStringLiteral("select %1 from t where rowid % %2 = 0").arg(columns).arg(dice.between(1, 9))));
    grid.BindRst(query);
}

void tst_GridFuzz::clickTitle(OVGrid &grid, Dice &dice)
{
    auto *table = grid.findChild<QTableView *>(QStringLiteral("ovgrid_grd"));
    QHeaderView *titles = table->horizontalHeader();
    const int section = dice.below(std::max(grid.Cols() - 1, 1));
    const QPoint at(titles->sectionViewportPosition(section) + 2, titles->height() / 2);
    QTest::mouseClick(titles->viewport(), Qt::LeftButton, {}, at);
}

void tst_GridFuzz::pressKeys(OVGrid &grid, Dice &dice)
{
    static const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Left, Qt::Key_Right, Qt::Key_Up,
                                   Qt::Key_Down, Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Tab, Qt::Key_F4,
                                   Qt::Key_1, Qt::Key_A, Qt::Key_Space, Qt::Key_Home, Qt::Key_End};
    const int count = dice.between(1, 6);
    for (int i = 0; i < count; ++i) {
        QWidget *target = QApplication::focusWidget();
        if (!target || !grid.isAncestorOf(target))
            target = grid.findChild<QTableView *>(QStringLiteral("ovgrid_grd"));
        if (dice.chance(25)) {
            typeText(target, dice.junk(2));
        } else {
            const auto modifiers = dice.chance(20) ? Qt::KeyboardModifiers(dice.pick({Qt::ShiftModifier, Qt::ControlModifier}))
                                                   : Qt::KeyboardModifiers();
            QTest::keyClick(target, keys[dice.below(int(std::size(keys)))], modifiers);
        }
    }
}

QTEST_MAIN(tst_GridFuzz)
#include "tst_gridfuzz.moc"
