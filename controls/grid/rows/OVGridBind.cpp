// OVGrid: loading a record set.

#include "OVGrid_p.h"

#include "appearance/RowFitter.h"
#include "editing/GridEditing.h"
#include "model/FormatCell.h"
#include "rows/RecordReader.h"
#include "rows/RowBuilder.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QSqlQuery>

namespace {

// Progress is reported at roughly equal amounts of work: fewer records
// between reports the wider the rows.
int progressStep(int cols)
{
    if (cols < 6)
        return 2000;
    if (cols <= 10)
        return 1000;
    if (cols <= 15)
        return 500;
    if (cols <= 20)
        return 250;
    return 125;
}

} // namespace

void OVGridPrivate::printMessage(const QString &text)
{
    msg->setText(QStringLiteral("\n  ") + text);
}

void OVGrid::BindRst(QSqlQuery &rst)
{
    d->bindRecords(*RecordReader::create(rst));
}

void OVGrid::BindRst(OVRecordSource &rst)
{
    d->bindRecords(*RecordReader::create(rst));
}

void OVGridPrivate::bindRecords(RecordReader &rst)
{
    const int oldRows = grd->rows();
    const bool noDataRow = grd->row() == 0 || oldRows == 1;
    const int cols = grd->cols();
    const int fields = rst.fieldCount();
    const int lead = cols - fields - 1;
    if (lead < 0)
        return;
    // A load brings another record's rows: an open edit is dropped, so its
    // text never lands among them.
    editing->discardEdit();
    rst.begin();
    // One load adds at most MaxRows records, and never grows the grid past
    // MaxLoadedRows together with the rows it had.
    const int maxRecords = std::min(OVGrid::MaxRows, OVGrid::MaxLoadedRows - oldRows);
    const int step = progressStep(cols);

    // Per field: its column's format, and whether it holds pick-list ids.
    std::vector<CellFormat> formats;
    std::vector<bool> pickList;
    bool anyPickList = false;
    for (int j = 0; j < fields; ++j) {
        const int col = j + lead + 1;
        formats.push_back(columns.format(col));
        pickList.push_back(columns.editor(col) == ColumnSet::Editor::PickList);
        anyPickList = anyPickList || pickList.back();
    }
    const QHash<qint32, QString> pickTexts = anyPickList ? editing->pickListTexts() : QHash<qint32, QString>();

    std::vector<GridRow> rows;
    RowBuilder row;
    int count = 0;
    bool overload = false;
    // The first report is drawn once the load has taken 40 ms: a load
    // shorter than that is over before anyone could read it.
    QElapsedTimer sinceDrawn;
    sinceDrawn.start();
    {
        DrawingPause pause(grd);
        for (; !rst.atEnd(); rst.moveNext()) {
            ++count;
            if (count > maxRecords) {
                overload = true;
                --count;
                break;
            }
            if (count % step == 0) {
                printMessage(QStringLiteral("加载 ") + QString::number(count));
                msg->show();
                msg->raise();
                // Drawn at most every 40 ms: faster changes nobody reads,
                // and drawing is most of the cost of a progress report.
                if (sinceDrawn.elapsed() >= 40) {
                    msg->repaint();
                    sinceDrawn.start();
                }
            }
            row.start();
            if (allowRowNo)
                row.appendNumber(qint64(oldRows + count - 1));
            row.endCell();
            for (int i = 0; i < lead; ++i)
                row.endCell();
            qint32 rowId = 0;
            for (int j = 0; j < fields; ++j) {
                const CellFormat *format = formats[j].isNone() ? nullptr : &formats[j];
                if (pickList[j]) {
                    rowId = rst.id(j);
                    row.append(pickTexts.value(rowId));
                } else if (const std::optional<double> value = format && format->isNumber() ? rst.real(j) : std::nullopt;
                           value && row.appendFormatted(*value, *format)) {
                    format = nullptr; // formatted already
                } else {
                    rst.appendText(j, row);
                }
                row.endCell(format);
            }
            rows.push_back(row.finish(rowId));
        }
        grd->appendRows(std::move(rows));
    }

    // An overloaded load keeps its message on screen, so a cut result is
    // never taken for the whole one.
    printMessage(overload ? QStringLiteral("记录过载")
                          : QStringLiteral("加载 ") + QString::number(count) + QStringLiteral(" 行"));
    if (allowSort && sortCol > 0 && sortCol < grd->cols()) {
        grd->setTextMatrix(0, sortCol, columns.title(sortCol));
        sortCol = 0;
    }
    // Wrapped rows are fitted as they come into view: a large load then
    // costs no more than a screenful of measuring.
    if (grd->wordWrap() && grd->rows() > oldRows) {
        fitter->fitLater(oldRows, grd->rows() - 1);
        fitter->fitRowsInView();
    }
    if (allowAlternate)
        paintAlternateRows(oldRows, 1);
    if (overload) {
        msg->show();
        msg->raise();
    } else {
        msg->hide();
    }
    if (noDataRow && count > 0)
        announceCurrentCell(grd->rows(), grd->cols());
}
