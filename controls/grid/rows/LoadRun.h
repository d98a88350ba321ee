#pragma once

#include "model/FormatCell.h"
#include "model/GridRow.h"
#include "rows/RecordReader.h"

#include <QHash>

#include <functional>
#include <memory>
#include <vector>

class ColumnSet;

// One record set on its way into grid rows: what turns its records into
// rows (each field's column, format and pick-list texts, the row numbers)
// and how far the reading got. A long load is read in parts: the first rows
// at once, the rest when they are needed, each part through read().
class LoadRun
{
public:
    struct Layout
    {
        int firstRow = 1;   // the grid row the first record becomes
        int cols = 0;       // the grid's columns; the fields fill the last ones
        int maxRecords = 0; // records past it are not added: the load is overloaded
        bool rowNumbers = true;
    };
    using PickTexts = std::function<QHash<qint32, QString>()>;

    // Begins the reader, whose fields must fit into the grid's data columns.
    LoadRun(std::unique_ptr<RecordReader> reader, const Layout &layout, const ColumnSet &columns,
            const PickTexts &pickTexts);
    ~LoadRun();

    // Builds the rows of up to `records` more records; progress(count) is
    // called every so many records, fewer the wider the rows.
    using Progress = std::function<void(int count)>;
    std::vector<GridRow> read(int records, const Progress &progress);

    // Whether more records may still be read after the call that started
    // the load has returned.
    bool readsLater() const { return m_reader->readsLater(); }
    // At the end of the records, past the limit, or stopped.
    bool finished() const { return m_overloaded || m_reader->atEnd(); }
    int count() const { return m_count; }
    // The grid row after the last one read.
    int endRow() const { return m_layout.firstRow + m_count; }
    bool overloaded() const { return m_overloaded; }
    bool interrupted() const { return m_reader->interrupted(); }

private:
    const std::unique_ptr<RecordReader> m_reader;
    const Layout m_layout;
    int m_lead = 0;
    int m_step = 0;
    // Per field: its column's format, and whether it holds pick-list ids.
    std::vector<CellFormat> m_formats;
    std::vector<bool> m_pickList;
    QHash<qint32, QString> m_pickTexts;
    int m_count = 0;
    bool m_overloaded = false;
};
