// What users see of the grid: row colours through sorting and growth, the
// current-row marking, fitted row heights, the wheel, editors that follow
// their cell, the tooltip, the message panel, the log and the saved
// design-time settings.

#include "OVGrid.h"
#include "RecordList.h"

#include <QApplication>
#include <QBrush>
#include <QDialog>
#include <QFile>
#include <QFont>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QtTest>

#include <memory>

namespace {

const QColor Grey(0xE0, 0xE0, 0xE0);
const QColor Red(0xFF, 0, 0);

} // namespace

class tst_GridAppearance : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void alternateColoursSurviveSortAndGrowth();
    void alternateColoursOnABigGrid();
    void normalBackgrounds();
    void currentRowMarking();
    void rowHeightsFitWrappedText();
    void loadedRowsFitAsTheyComeIntoView();
    void wheelScrollsThreeRowsANotch();
    void editorsFollowTheirCell();
    void tooltipOfTheControlShowsOnTheGrid();
    void messagePanel();
    void logLine();
    void propertyBag();
    void aboutBox();

private:
    void fill(int rows);
    QTableView *view() const { return m_grid->findChild<QTableView *>(QStringLiteral("ovgrid_grd")); }
    QColor background(int row, int col) const;
    QColor foreground(int row, int col) const;
    bool isBold(int row, int col) const;

    std::unique_ptr<QWidget> m_window;
    OVGrid *m_grid = nullptr;
};

void tst_GridAppearance::init()
{
    m_window = std::make_unique<QWidget>();
    auto *layout = new QVBoxLayout(m_window.get());
    m_grid = new OVGrid(m_window.get());
    layout->addWidget(m_grid);
    m_window->resize(800, 400);
    m_grid->setCols(5);
    m_grid->setListWidth(QStringLiteral("600|1500|1500|1500|1500"));
    m_grid->setListTitle(QStringLiteral("#|a|b|c|d"));
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void tst_GridAppearance::cleanup()
{
    m_window.reset();
}

void tst_GridAppearance::fill(int rows)
{
    for (int r = 1; r <= rows; ++r)
        m_grid->AddItem(QStringLiteral("\t%1\tx%2").arg((r * 7) % rows).arg(r));
}

// Grid cells as drawn: data cells from the table, column 0 from the row headers.
QColor tst_GridAppearance::background(int row, int col) const
{
    const QVariant value = view()->model()->data(view()->model()->index(row - 1, col - 1), Qt::BackgroundRole);
    return value.canConvert<QBrush>() ? value.value<QBrush>().color() : QColor();
}

QColor tst_GridAppearance::foreground(int row, int col) const
{
    const QVariant value = col == 0
        ? view()->model()->headerData(row - 1, Qt::Vertical, Qt::ForegroundRole)
        : view()->model()->data(view()->model()->index(row - 1, col - 1), Qt::ForegroundRole);
    return value.canConvert<QBrush>() ? value.value<QBrush>().color() : QColor(Qt::black);
}

bool tst_GridAppearance::isBold(int row, int col) const
{
    const QVariant value = col == 0
        ? view()->model()->headerData(row - 1, Qt::Vertical, Qt::FontRole)
        : view()->model()->data(view()->model()->index(row - 1, col - 1), Qt::FontRole);
    return value.canConvert<QFont>() && value.value<QFont>().bold();
}

void tst_GridAppearance::alternateColoursSurviveSortAndGrowth()
{
    fill(7);
    m_grid->AddItem(QStringLiteral("*"));
    const auto checkRows = [this] {
        for (int r = 1; r < m_grid->Rows(); ++r) {
            for (int c = 1; c < m_grid->Cols(); ++c) {
                const QColor expected = r % 2 == 0 ? Grey : QColor();
                if (background(r, c) != expected)
                    return QStringLiteral("row %1 column %2").arg(r).arg(c);
            }
        }
        return QString();
    };
    QCOMPARE(checkRows(), QString());

    m_grid->setAllowSort(true);
    auto *titles = view()->horizontalHeader();
    QTest::mouseClick(titles->viewport(), Qt::LeftButton, {},
                      QPoint(titles->sectionViewportPosition(0) + 5, titles->height() / 2));
    QCOMPARE(m_grid->TextMatrix(0, 1), QStringLiteral("a/"));
    QCOMPARE(checkRows(), QString());

    m_grid->setCols(8);
    QCOMPARE(checkRows(), QString());
    m_grid->RemoveItem(2);
    m_grid->AddItem(QStringLiteral("\tnew"), 3);
    QCOMPARE(checkRows(), QString());
    m_grid->setRows(m_grid->Rows() + 3);
    QCOMPARE(checkRows(), QString());
}

void tst_GridAppearance::alternateColoursOnABigGrid()
{
    // Every row is right however many there are, not just those a time
    // budget reached.
    m_grid->setRows(OVGrid::MaxRows);
    QCOMPARE(background(OVGrid::MaxRows - 2, 3), Grey);
    QCOMPARE(background(OVGrid::MaxRows - 1, 3), QColor());
    m_grid->RemoveItem(1);
    QCOMPARE(m_grid->Rows(), OVGrid::MaxRows - 1);
    QCOMPARE(background(OVGrid::MaxRows - 2, 3), Grey);
    QCOMPARE(background(OVGrid::MaxRows - 3, 3), QColor());
}

void tst_GridAppearance::normalBackgrounds()
{
    fill(4);
    // A cell given colour 0 shows the normal background, on a grey row too.
    m_grid->setCell(OVGrid::ovCPBackColor, 2, 1, 2, 2, QVariant(0));
    QCOMPARE(background(2, 1), QColor());
    QCOMPARE(background(2, 2), QColor());
    QCOMPARE(background(2, 3), Grey);

    // Without alternate colours no row is grey, whichever way rows come.
    m_grid->setAllowAlternate(false);
    m_grid->AddItem(QStringLiteral("\tadded"));
    m_grid->AddItem(QStringLiteral("\tinserted"), 1);
    m_grid->setRows(m_grid->Rows() + 2);
    m_grid->setCols(7);
    m_grid->setRow(m_grid->Rows() - 1);
    m_grid->AutoLastRow();
    for (int r = 1; r < m_grid->Rows(); ++r) {
        for (int c = 1; c < m_grid->Cols(); ++c)
            QVERIFY2(background(r, c) == QColor(), qPrintable(QStringLiteral("row %1 column %2").arg(r).arg(c)));
    }
}

void tst_GridAppearance::currentRowMarking()
{
    fill(6);
    m_grid->setCurrentRowMode(OVGrid::ovCRForeColor);
    m_grid->setRow(3);
    m_grid->setRow(4);
    for (int c = 0; c < m_grid->Cols(); ++c) {
        QCOMPARE(foreground(3, c), QColor(Qt::black));
        QCOMPARE(foreground(4, c), Red);
    }
    m_grid->setCurrentRowMode(OVGrid::ovCRFontBold);
    m_grid->setRow(2);
    QVERIFY(!isBold(4, 1));
    QVERIFY(isBold(2, 0));
    QVERIFY(isBold(2, 4));
    QCOMPARE(foreground(4, 1), QColor(Qt::black));

    // The marking stays on the current row, not on the data that was there.
    m_grid->AddItem(QStringLiteral("\tinserted"), 1);
    QCOMPARE(m_grid->Row(), 3);
    QVERIFY(isBold(3, 1));
    QVERIFY(!isBold(1, 1));
}

void tst_GridAppearance::rowHeightsFitWrappedText()
{
    fill(3);
    const int plain = view()->rowHeight(0);
    m_grid->setRowHeightMin(300);
    m_grid->setWordWrap(true);
    m_grid->setListWordWrap(QStringLiteral("2"));
    m_grid->setTextMatrix(1, 2, QStringLiteral("一段很长的说明文字，要在这一格里折成好几行才能放得下。"));
    m_grid->setTextMatrix(2, 3, QStringLiteral("一段很长的说明文字，要在这一格里折成好几行才能放得下。"));
    QVERIFY2(view()->rowHeight(0) > 2 * plain, qPrintable(QString::number(view()->rowHeight(0))));
    // Column 3 takes no part in the fitting: row 2 gets one line of column 2.
    QVERIFY(view()->rowHeight(1) < 2 * plain);
    // A row's height is never below the minimum.
    m_grid->setTextMatrix(3, 2, QString());
    QVERIFY(view()->rowHeight(2) >= qRound(300 * view()->logicalDpiY() / 1440.0));

    // A title longer than its column makes the title row taller.
    const int titleHeight = view()->horizontalHeader()->height();
    m_grid->setListTitle(QStringLiteral("#|a|一个很长很长很长很长很长很长的标题"));
    QVERIFY(view()->horizontalHeader()->height() > titleHeight);
}

// A large load measures only the rows on screen and the last screenful;
// the others are fitted when scrolling, a removal, a taller view or a copy
// brings them up.
void tst_GridAppearance::loadedRowsFitAsTheyComeIntoView()
{
    const QString longText = QStringLiteral("一段很长的说明文字，要在这一格里折成好几行才能放得下。");
    QList<QVariantList> records;
    for (int r = 1; r <= 300; ++r)
        records.append({r, longText});
    RecordList source(2, records);
    m_grid->setCols(3);
    m_grid->setListWidth(QStringLiteral("600|900|1500"));
    m_grid->setListWordWrap(QStringLiteral("2"));
    m_grid->setWordWrap(true);
    const int plain = view()->verticalHeader()->defaultSectionSize();
    const auto fitted = [this, plain](int row) { return view()->rowHeight(row - 1) > 2 * plain; };
    const auto scrollTo = [this](int row) { view()->verticalScrollBar()->setValue(row - 1); };
    const auto shownRowsFitted = [&] {
        const int top = view()->rowAt(0) + 1;
        for (int r = top; r < m_grid->Rows() && view()->rowViewportPosition(r - 1) < view()->viewport()->height(); ++r) {
            if (!fitted(r))
                return false;
        }
        return true;
    };

    m_grid->BindRst(source);
    QCOMPARE(m_grid->Rows(), 301);
    QVERIFY(shownRowsFitted());
    QVERIFY(fitted(300));
    QVERIFY(!fitted(150));

    // The marks move with the rows: the row that moves up into view is one
    // never measured.
    m_grid->RemoveItem(1);
    QVERIFY(shownRowsFitted());
    scrollTo(149);
    QVERIFY(shownRowsFitted());

    // Copying a row never shown copies its fitted height.
    QVERIFY(!fitted(100));
    m_grid->CopyRow(100, 2);
    QVERIFY(fitted(2));

    // Moving to a row below the view shows it whole, measured.
    view()->scrollTo(view()->model()->index(249, 0));
    QVERIFY(shownRowsFitted());
    QVERIFY(view()->rowViewportPosition(249) >= 0);
    QVERIFY(view()->rowViewportPosition(249) + view()->rowHeight(249) <= view()->viewport()->height());

    scrollTo(200);
    const int bottom = view()->rowAt(view()->viewport()->height() - 1) + 1;
    QVERIFY(!fitted(bottom + 1));
    m_window->resize(800, 1200);
    QTRY_VERIFY(shownRowsFitted());
    QVERIFY(fitted(bottom + 1));
}

void tst_GridAppearance::wheelScrollsThreeRowsANotch()
{
    fill(100);
    view()->setFocus();
    QTRY_VERIFY(view()->hasFocus());
    QApplication::processEvents(); // the view lays out its rows
    auto topRow = [this] { return view()->rowAt(0) + 1; };
    auto wheel = [this](int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const QPoint pos = view()->viewport()->rect().center();
        QWheelEvent event(pos, view()->viewport()->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view()->viewport(), &event);
    };
    wheel(-120);
    QCOMPARE(topRow(), 4);
    wheel(-120);
    QCOMPARE(topRow(), 7);
    wheel(120);
    QCOMPARE(topRow(), 4);
    wheel(120);
    QCOMPARE(topRow(), 1);

    m_grid->RowVisible(0);
    const int bottomTop = topRow();
    wheel(-120);
    QCOMPARE(topRow(), bottomTop);
    view()->verticalScrollBar()->setValue(2); // first visible row 3
    wheel(120);
    QCOMPARE(topRow(), 1);
}

void tst_GridAppearance::editorsFollowTheirCell()
{
    fill(100);
    m_grid->setListTag(QStringLiteral("2;txt"));
    m_grid->setEditable(true);
    view()->setFocus();
    m_grid->setRow(5);
    m_grid->setCol(2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    auto *txt = m_grid->findChild<QLineEdit *>(QStringLiteral("txt"));
    QVERIFY(txt->isVisible());
    const QRect cellAt = [this] {
        return view()->visualRect(view()->model()->index(4, 1)).translated(view()->viewport()->pos());
    }();
    QCOMPARE(txt->pos(), cellAt.topLeft());

    view()->verticalScrollBar()->setValue(2);
    const QRect moved = view()->visualRect(view()->model()->index(4, 1)).translated(view()->viewport()->pos());
    QCOMPARE(txt->pos(), moved.topLeft());
    view()->verticalScrollBar()->setValue(50);
    QCOMPARE(txt->x(), -9999);
    view()->verticalScrollBar()->setValue(0);
    QCOMPARE(txt->pos(), cellAt.topLeft());
    // Typing went on into the editor all along.
    QTest::keyClicks(txt, QStringLiteral("ok"));
    QTest::keyClick(txt, Qt::Key_Return);
    QCOMPARE(m_grid->TextMatrix(5, 2), QStringLiteral("ok"));
}

void tst_GridAppearance::tooltipOfTheControlShowsOnTheGrid()
{
    m_grid->setToolTip(QStringLiteral("删除：双击行号"));
    m_grid->repaint();
    QCOMPARE(view()->toolTip(), QStringLiteral("删除：双击行号"));
    m_grid->setTipText(QStringLiteral("own"));
    m_grid->repaint();
    QCOMPARE(m_grid->TipText(), QStringLiteral("own"));
}

void tst_GridAppearance::messagePanel()
{
    auto *msg = m_grid->findChild<QLabel *>(QStringLiteral("ovgrid_msg"));
    QVERIFY(msg->isHidden());
    m_grid->Message(1, QStringLiteral("加载 2000"));
    QVERIFY(msg->isHidden());
    QVERIFY(msg->text().contains(QStringLiteral("加载 2000")));
    m_grid->Message(0);
    QVERIFY(msg->isVisible());
    QCOMPARE(msg->geometry().center(), m_grid->rect().center());
    m_grid->Message(7);
    QVERIFY(msg->isVisible());
    m_grid->Message(2);
    QVERIFY(msg->isHidden());
}

void tst_GridAppearance::logLine()
{
    QTemporaryDir dir;
    OVGrid::setLogFolder(dir.path());
    fill(3);
    m_grid->setRow(2);
    m_grid->setCol(3);
    QVERIFY(m_grid->Log(QStringLiteral("检查")));
    QVERIFY(m_grid->Log(QStringLiteral("again")));
    QFile log(dir.filePath(QStringLiteral("log.txt")));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(log.readAll()), QStringLiteral("检查\t2\t3\nagain\t2\t3\n"));

    OVGrid::setLogFolder(dir.filePath(QStringLiteral("missing/folder")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("cannot write")));
    QVERIFY(!m_grid->Log(QStringLiteral("lost")));
    OVGrid::setLogFolder(QString());
}

void tst_GridAppearance::propertyBag()
{
    OVGrid fresh;
    QVERIFY(fresh.isPropertyBagDirty()); // a newly placed control
    const OVGrid::PropertyBag defaults = fresh.WriteProperties();
    QStringList names;
    for (const auto &[name, value] : defaults)
        names << name;
    QCOMPARE(names, (QStringList{QStringLiteral("Font"), QStringLiteral("Cols"), QStringLiteral("Rows"),
                                 QStringLiteral("AllowAlternate"), QStringLiteral("Editable"),
                                 QStringLiteral("AllowSort"), QStringLiteral("AllowRowDelete"),
                                 QStringLiteral("AllowRowNo"), QStringLiteral("CurrentRowMode"),
                                 QStringLiteral("MergeCells"), QStringLiteral("RowHeightMin"),
                                 QStringLiteral("WordWrap")}));
    QCOMPARE(defaults.at(1).second.toInt(), 2);
    QCOMPARE(defaults.at(2).second.toInt(), 1);
    QCOMPARE(defaults.at(3).second.toBool(), true);
    QCOMPARE(defaults.at(4).second.toBool(), false);
    QCOMPARE(defaults.at(7).second.toBool(), true);
    QCOMPARE(defaults.at(11).second.toBool(), false);

    QFont font(QStringLiteral("Noto Sans CJK SC"), 11);
    OVGrid loaded;
    loaded.ReadProperties({{QStringLiteral("Font"), font},
                           {QStringLiteral("Cols"), 6},
                           {QStringLiteral("Rows"), 4},
                           {QStringLiteral("Editable"), true},
                           {QStringLiteral("CurrentRowMode"), 1},
                           {QStringLiteral("RowHeightMin"), 420},
                           {QStringLiteral("WordWrap"), true}});
    QVERIFY(!loaded.isPropertyBagDirty());
    QCOMPARE(loaded.Cols(), 6);
    QCOMPARE(loaded.Rows(), 4);
    QVERIFY(loaded.Editable());
    QVERIFY(loaded.AllowRowNo());
    QCOMPARE(loaded.CurrentRowMode(), OVGrid::ovCRFontBold);
    QCOMPARE(loaded.RowHeightMin(), 420);
    QVERIFY(loaded.WordWrap());
    QCOMPARE(loaded.Font().pointSize(), 11);
    QCOMPARE(loaded.TextMatrix(3, 0), QStringLiteral("3"));
    // The editors take the loaded font.
    QCOMPARE(loaded.findChild<QLineEdit *>(QStringLiteral("txt"))->font().pointSize(), 11);

    // Written back, read into another control: the same settings.
    OVGrid copy;
    copy.ReadProperties(loaded.WriteProperties());
    QCOMPARE(copy.WriteProperties(), loaded.WriteProperties());
    loaded.setAllowSort(true);
    QVERIFY(loaded.isPropertyBagDirty());
}

void tst_GridAppearance::aboutBox()
{
    bool shown = false;
    QTimer::singleShot(0, this, [&shown] {
        auto *box = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        shown = box && box->findChildren<QLabel *>().size() >= 3;
        for (QLabel *label : box ? box->findChildren<QLabel *>() : QList<QLabel *>())
            shown = shown || label->text().contains(QStringLiteral("1.0"));
        if (box)
            box->accept();
    });
    m_grid->ShowAbout();
    QVERIFY(shown);
    QVERIFY(!m_grid->findChild<QDialog *>());
}

QTEST_MAIN(tst_GridAppearance)
#include "tst_gridappearance.moc"
