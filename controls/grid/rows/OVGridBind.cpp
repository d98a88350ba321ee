// OVGrid: loading a record set.

#include "OVGrid_p.h"

#include "appearance/RowFitter.h"
#include "editing/GridEditing.h"
#include "rows/LoadRun.h"
#include "rows/RecordReader.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QMetaMethod>
#include <QScreen>
#include <QSqlQuery>

#include <limits>

namespace {

constexpr int AllRecords = std::numeric_limits<int>::max();

// The records a long load reads before the grid is shown: as many rows as
// lines of the grid's text fit on its screen, more than the grid can show
// even maximised (no row is lower than a line).
int firstPart(const QWidget *grid)
{
    const QScreen *screen = grid->screen();
    const int screenHeight = screen ? screen->availableGeometry().height() : 2160;
    return screenHeight / std::max(1, grid->fontMetrics().height()) + 1;
}

} // namespace

void OVGridPrivate::printMessage(const QString &text)
{
    msg->setText(QStringLiteral("\n  ") + text);
}

void OVGrid::BindRst(QSqlQuery &rst)
{
    d->bindRecords(RecordReader::create(rst));
}

void OVGrid::BindRst(OVRecordSource &rst)
{
    d->bindRecords(RecordReader::create(rst));
}

bool OVGrid::LoadBrokenOff() const
{
    d->model()->readRestOfLoad();
    return d->loadBrokenOff;
}

void OVGridPrivate::bindRecords(std::unique_ptr<RecordReader> rst)
{
    const int oldRows = grd->rows();
    loadBrokenOff = false;
    const bool noDataRow = grd->row() == 0 || oldRows == 1;
    if (rst->fieldCount() > grd->cols() - 1) // more fields than data columns
        return;
    // A load brings another record's rows: an open edit is dropped, so its
    // text never lands among them.
    editing->discardEdit();
    // One load adds at most MaxRows records, and never grows the grid past
    // MaxLoadedRows together with the rows it had.
    const LoadRun::Layout layout{oldRows, grd->cols(),
                                 std::min(OVGrid::MaxRows, OVGrid::MaxLoadedRows - oldRows), allowRowNo};
    auto run = std::make_unique<LoadRun>(std::move(rst), layout, columns,
                                         [this] { return editing->pickListTexts(); });
    // A long load shows its first rows at once and reads the rest after the
    // first paint, or when anything needs them. Only a reader that keeps
    // its records alive can wait; and a host that hears AfterRowColChange
    // is told the whole row count, so the whole load is read for it.
    const bool announced = noDataRow && q->isSignalConnected(QMetaMethod::fromSignal(&OVGrid::AfterRowColChange));
    readRecords(*run, run->readsLater() && !announced ? firstPart(grd) : AllRecords, oldRows);

    if (allowSort && sortCol > 0 && sortCol < grd->cols()) {
        grd->setTextMatrix(0, sortCol, columns.title(sortCol));
        sortCol = 0;
    }
    fitLoadedRows(oldRows, run->endRow());
    if (allowAlternate)
        paintAlternateRows(oldRows, 1);
    const int count = run->count();
    const int rows = grd->rows();
    if (run->finished()) {
        showOutcome(*run);
    } else {
        // From here on the rest is read as soon as anything needs it.
        msg->hide();
        load = std::move(run);
        model()->setRestOfLoad([this] { readRestOfLoad(); });
    }
    // Nobody hears the row count of a pending load (see above); what the
    // announcement needs besides leaves the rest pending, and an event it
    // raises then sees the whole grid.
    if (noDataRow && count > 0)
        announceCurrentCell(rows, grd->cols());
}

void OVGridPrivate::readRecords(LoadRun &run, int records, int before)
{
    // The first report is drawn once the load has taken 40 ms: a load
    // shorter than that is over before anyone could read it.
    QElapsedTimer sinceDrawn;
    sinceDrawn.start();
    DrawingPause pause(grd);
    grd->insertRows(before, run.read(records, [&](int count) {
        printMessage(QStringLiteral("加载 ") + QString::number(count));
        msg->show();
        msg->raise();
        // Drawn at most every 40 ms: faster changes nobody reads, and
        // drawing is most of the cost of a progress report.
        if (sinceDrawn.elapsed() >= 40) {
            msg->repaint();
            sinceDrawn.start();
        }
    }));
}

void OVGridPrivate::readRestOfLoad()
{
    const std::unique_ptr<LoadRun> run = std::move(load);
    const int from = run->endRow();
    readRecords(*run, AllRecords, from);
    // The rows appended meanwhile now follow the load's: they are numbered
    // on, and those past the limit would have been refused.
    if (grd->rows() > OVGrid::MaxLoadedRows)
        grd->setRows(OVGrid::MaxLoadedRows);
    if (allowRowNo && run->endRow() < grd->rows())
        model()->numberRows(run->endRow());
    fitLoadedRows(from, run->endRow());
    showOutcome(*run);
}

void OVGridPrivate::fitLoadedRows(int fromRow, int endRow)
{
    // Wrapped rows are fitted as they come into view: a large load then
    // costs no more than a screenful of measuring.
    if (grd->wordWrap() && endRow > fromRow) {
        fitter->fitLater(fromRow, endRow - 1);
        fitter->fitRowsInView();
    }
}

void OVGridPrivate::showOutcome(const LoadRun &run)
{
    // An overloaded or broken-off load keeps its message on screen, so a
    // cut result is never taken for the whole one.
    loadBrokenOff = run.interrupted();
    const QString count = QString::number(run.count());
    if (run.overloaded())
        printMessage(QStringLiteral("记录过载"));
    else if (run.interrupted())
        printMessage(QStringLiteral("读取中断，只加载了 ") + count + QStringLiteral(" 行"));
    else
        printMessage(QStringLiteral("加载 ") + count + QStringLiteral(" 行"));
    if (run.overloaded() || run.interrupted()) {
        msg->show();
        msg->raise();
    } else {
        msg->hide();
    }
}
