#include "LoadRun.h"

#include "model/ColumnSet.h"
#include "rows/RowBuilder.h"

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

LoadRun::LoadRun(std::unique_ptr<RecordReader> reader, const Layout &layout, const ColumnSet &columns,
                 const PickTexts &pickTexts)
    : m_reader(std::move(reader))
    , m_layout(layout)
    , m_lead(layout.cols - m_reader->fieldCount() - 1)
    , m_step(progressStep(layout.cols))
{
    bool anyPickList = false;
    for (int j = 0; j < m_reader->fieldCount(); ++j) {
        const int col = j + m_lead + 1;
        m_formats.push_back(columns.format(col));
        m_pickList.push_back(columns.editor(col) == ColumnSet::Editor::PickList);
        anyPickList = anyPickList || m_pickList.back();
    }
    if (anyPickList)
        m_pickTexts = pickTexts();
    m_reader->begin();
}

LoadRun::~LoadRun() = default;

std::vector<GridRow> LoadRun::read(int records, const Progress &progress)
{
    std::vector<GridRow> rows;
    if (m_overloaded)
        return rows;
    RecordReader &rst = *m_reader;
    if (m_count > 0)
        rst.resume();
    // The loop works on locals: members would be read again after every
    // call into the reader, which costs a long load several per cent.
    const Layout layout = m_layout;
    const int lead = m_lead;
    const int step = m_step;
    const int fields = int(m_formats.size());
    int count = m_count;
    RowBuilder row;
    // The reader stays on the record after the last one built, where the
    // next part starts.
    for (; !rst.atEnd() && int(rows.size()) < records; rst.moveNext()) {
        if (count == layout.maxRecords) {
            m_overloaded = true;
            break;
        }
        ++count;
        if (count % step == 0)
            progress(count);
        row.start();
        if (layout.rowNumbers)
            row.appendNumber(qint64(layout.firstRow + count - 1));
        row.endCell();
        for (int i = 0; i < lead; ++i)
            row.endCell();
        qint32 rowId = 0;
        for (int j = 0; j < fields; ++j) {
            const CellFormat *format = m_formats[j].isNone() ? nullptr : &m_formats[j];
            if (m_pickList[j]) {
                rowId = rst.id(j);
                row.append(m_pickTexts.value(rowId));
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
    m_count = count;
    return rows;
}
