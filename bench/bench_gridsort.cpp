// Sorting and scrolling a full grid, as a user does with a title click and
// a scroll to the end, each beside a baseline measured in the same run:
//   - title-click sort of 58,000 rows by a number column, against sorting
//     the same numbers, parsed once, with std::stable_sort;
//   - the same for a date column that sorts by its digits;
//   - the repaint after a scroll to the last row, against the repaint of
//     the first page;
// and a check that every visible row has its colour after each step.
//
// Run: QT_QPA_PLATFORM=offscreen build/bin/bench_gridsort

#include "BenchTiming.h"

#include "OVGrid.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QTableView>

#include <algorithm>
#include <array>
#include <cstdio>
#include <numeric>
#include <vector>

namespace {

constexpr int Rows = OVGrid::MaxRows - 2; // data rows; one more for the entry row
constexpr int Runs = 5;

// Records of four fields: a date, a client, a weight and an amount.
class SampleRecords : public OVRecordSource
{
public:
    SampleRecords()
    {
        QRandomGenerator random(42);
        for (int i = 0; i < Rows; ++i) {
            const QDate date = QDate(2020, 1, 1).addDays(int(random.bounded(1500)));
            m_rows.push_back({date.toString(QStringLiteral("yy-MM-dd")),
                              QStringLiteral("客户%1").arg(random.bounded(400)),
                              QString::number(random.bounded(100000) / 100.0),
                              QString::number(random.bounded(10000000) / 100.0, 'f', 2)});
        }
    }
    int fieldCount() const override { return 4; }
    QVariant value(int field) const override { return m_rows[m_at][field]; }
    bool atEnd() const override { return m_at >= m_rows.size(); }
    void moveNext() override { ++m_at; }
    void rewind() { m_at = 0; }
    const std::vector<std::array<QString, 4>> &rows() const { return m_rows; }

private:
    std::vector<std::array<QString, 4>> m_rows;
    size_t m_at = 0;
};


void clickTitle(QTableView *view, int col)
{
    QHeaderView *titles = view->horizontalHeader();
    const QPoint pos(titles->sectionViewportPosition(col - 1) + 4, titles->height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, pos, titles->viewport()->mapToGlobal(pos), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(titles->viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, pos, titles->viewport()->mapToGlobal(pos), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(titles->viewport(), &release);
}

// Time until the view has repainted what is on screen.
double repaintMs(QTableView *view)
{
    QElapsedTimer timer;
    timer.start();
    view->viewport()->repaint();
    return timer.nsecsElapsed() / 1e6;
}

// Every visible data row alternates plain and light grey.
bool visibleColoursRight(QTableView *view)
{
    const int first = view->rowAt(0);
    const int last = view->rowAt(view->viewport()->height() - 1);
    for (int r = std::max(first, 0); r <= (last < 0 ? view->model()->rowCount() - 1 : last); ++r) {
        const QVariant back = view->model()->data(view->model()->index(r, 2), Qt::BackgroundRole);
        const bool grey = back.canConvert<QBrush>() && back.value<QBrush>().color() == QColor(0xE0, 0xE0, 0xE0);
        if (grey != ((r + 1) % 2 == 0))
            return false;
    }
    return true;
}

double baselineSortMs(const SampleRecords &records, int field, bool digitsOnly)
{
    std::vector<double> times;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        std::vector<std::pair<double, int>> keys;
        keys.reserve(records.rows().size());
        for (size_t i = 0; i < records.rows().size(); ++i) {
            QString text = records.rows()[i][field];
            if (digitsOnly)
                text.remove(QLatin1Char('-'));
            keys.emplace_back(text.toDouble(), int(i));
        }
        std::stable_sort(keys.begin(), keys.end(),
                         [](const auto &a, const auto &b) { return a.first < b.first; });
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    return medianOf(times);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    SampleRecords records;

    OVGrid grid;
    grid.resize(1200, 700);
    grid.setCols(6);
    grid.setAllowSort(true);
    grid.setListWidth(QStringLiteral("800|1200|1200|1500|1200|1500"));
    grid.setListTitle(QStringLiteral("#||日期|客户|KG|金额"));
    grid.setListFormat(QStringLiteral("2;yy-mm-dd|5;0.00"));
    grid.show();
    auto *view = grid.findChild<QTableView *>(QStringLiteral("ovgrid_grd"));

    QElapsedTimer timer;
    timer.start();
    grid.BindRst(records);
    grid.AddItem(QStringLiteral("*"));
    const double loadMs = timer.nsecsElapsed() / 1e6;
    QApplication::processEvents();

    std::vector<double> numberSorts, dateSorts;
    bool coloursRight = visibleColoursRight(view);
    for (int run = 0; run < Runs; ++run) {
        timer.restart();
        clickTitle(view, 4);
        repaintMs(view);
        numberSorts.push_back(timer.nsecsElapsed() / 1e6);
        coloursRight = coloursRight && visibleColoursRight(view);
        timer.restart();
        clickTitle(view, 2);
        repaintMs(view);
        dateSorts.push_back(timer.nsecsElapsed() / 1e6);
        coloursRight = coloursRight && visibleColoursRight(view);
    }
    const bool placeholderLast = grid.TextMatrix(grid.Rows() - 1, 0) == QLatin1String("*");

    const double topRepaint = repaintMs(view);
    timer.restart();
    grid.RowVisible(0);
    repaintMs(view);
    const double endScroll = timer.nsecsElapsed() / 1e6;
    coloursRight = coloursRight && visibleColoursRight(view);

    const double numberBase = baselineSortMs(records, 2, false);
    const double dateBase = baselineSortMs(records, 0, true);
    const double numberSort = medianOf(numberSorts);
    const double dateSort = medianOf(dateSorts);

    std::printf("grid of %d data rows (loaded in %.0f ms)\n", Rows, loadMs);
    std::printf("title-click sort, numbers      %8.1f ms   baseline std::stable_sort %6.1f ms   ratio %5.1f\n",
                numberSort, numberBase, numberSort / numberBase);
    std::printf("title-click sort, dates        %8.1f ms   baseline std::stable_sort %6.1f ms   ratio %5.1f\n",
                dateSort, dateBase, dateSort / dateBase);
    std::printf("scroll to the end and repaint  %8.1f ms   baseline first-page repaint %4.1f ms   ratio %5.1f\n",
                endScroll, topRepaint, endScroll / std::max(topRepaint, 0.01));
    std::printf("visible rows coloured right: %s; entry row kept last: %s\n", coloursRight ? "yes" : "NO",
                placeholderLast ? "yes" : "NO");
    return coloursRight && placeholderLast ? 0 : 1;
}
