// OVGrid: loading a record set.

#include "OVGrid_p.h"

#include "model/FormatCell.h"

#include <QLabel>
#include <QSqlQuery>

namespace {

// The most records one load adds.
constexpr int MaxRecords = 58000;

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

QString valueText(const QVariant &value)
{
    return value.isNull() ? QString() : value.toString();
}

} // namespace

void OVGridPrivate::printMessage(const QString &text)
{
    msg->setText(QStringLiteral("\n  ") + text);
}

void OVGrid::BindRst(QSqlQuery &rst)
{
    OVSqlRecordSource source(rst);
    BindRst(source);
}

void OVGrid::BindRst(OVRecordSource &rst)
{
    d->bindRecords(rst);
}

void OVGridPrivate::bindRecords(OVRecordSource &rst)
{
    const int oldRows = grd->rows();
    const bool noDataRow = grd->row() == 0 || oldRows == 1;
    const int cols = grd->cols();
    const int fields = rst.fieldCount();
    const int lead = cols - fields - 1;
    if (lead < 0)
        return;
    const int step = progressStep(cols);

    // Per field: where it goes and how its text is made.
    struct Target
    {
        QString format;
        bool pickList = false;
    };
    std::vector<Target> targets(fields);
    bool anyPickList = false;
    for (int j = 0; j < fields; ++j) {
        const int col = j + lead + 1;
        targets[j].format = specs.format[col];
        targets[j].pickList = specs.tag[col] == QLatin1String("cbodata");
        anyPickList = anyPickList || targets[j].pickList;
    }
    const QHash<qint32, QString> pickTexts = anyPickList ? pickListTexts() : QHash<qint32, QString>();

    std::vector<GridRow> rows;
    int count = 0;
    bool overload = false;
    {
        DrawingPause pause(grd);
        for (; !rst.atEnd(); rst.moveNext()) {
            ++count;
            if (count > MaxRecords) {
                overload = true;
                --count;
                break;
            }
            if (count % step == 0) {
                printMessage(QStringLiteral("加载 ") + QString::number(count));
                msg->show();
                msg->raise();
                msg->repaint();
            }
            GridRow row;
            const int index = oldRows + count - 1;
            row.appendCell(allowRowNo ? QString::number(index) : QString());
            for (int i = 0; i < lead; ++i)
                row.appendCell({});
            qint32 rowId = 0;
            for (int j = 0; j < fields; ++j) {
                const Target &target = targets[j];
                QString text;
                if (target.pickList) {
                    rowId = rst.value(j).toInt();
                    text = pickTexts.value(rowId);
                } else {
                    text = valueText(rst.value(j));
                }
                if (!target.format.isEmpty())
                    text = FormatCell(target.format, text);
                row.appendCell(text);
            }
            row.setData(rowId);
            rows.push_back(std::move(row));
        }
        grd->appendRows(std::move(rows));
    }

    // An overloaded load keeps its message on screen, so a cut result is
    // never taken for the whole one.
    printMessage(overload ? QStringLiteral("记录过载")
                          : QStringLiteral("加载 ") + QString::number(count) + QStringLiteral(" 行"));
    if (allowSort && sortCol > 0 && sortCol < grd->cols()) {
        grd->setTextMatrix(0, sortCol, specs.title[sortCol]);
        sortCol = 0;
    }
    if (grd->wordWrap())
        fitRowHeights(oldRows, grd->rows() - 1);
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
