#pragma once

#include "GridRow.h"

#include <QAbstractTableModel>
#include <QFont>

#include <functional>
#include <utility>
#include <vector>

// The cells of the grid in grid coordinates: row 0 is the title row and
// column 0 the row-number column. The table the view shows holds the data
// cells only (its row r, column c is grid cell r + 1, c + 1); the title row
// and the row-number column appear as its header sections, so they stay put
// when the data scrolls.
class GridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit GridModel(QObject *parent = nullptr);
    ~GridModel() override;

    // A long load may leave its last records unread until something needs
    // them; meanwhile the model holds the rows read so far and any appended
    // since. Every member below that reads or changes rows or cells reads
    // them first. The table interface the view paints through (rowCount(),
    // data(), headerData()) does not, so the first rows show at once; nor
    // do the settings that only change how rows are drawn (alternate
    // colours, the current-row mark, alignments, the font).
    using ReadRest = std::function<void()>;
    void setRestOfLoad(ReadRest readRest) { m_readRest = std::move(readRest); }
    bool restPending() const { return bool(m_readRest); }
    void readRestOfLoad() const
    {
        if (m_readRest && m_keepPending == 0) [[unlikely]]
            std::exchange(m_readRest, {})();
    }
    // While one lives, the members act on the rows read so far: for work
    // that only concerns what is shown or appended at the end.
    class KeepRestPending
    {
    public:
        explicit KeepRestPending(const GridModel *model) : m_model(model) { ++m_model->m_keepPending; }
        ~KeepRestPending() { --m_model->m_keepPending; }
        KeepRestPending(const KeepRestPending &) = delete;
        KeepRestPending &operator=(const KeepRestPending &) = delete;

    private:
        const GridModel *m_model;
    };

    int rows() const { readRestOfLoad(); return count(); }
    int cols() const { return m_cols; }
    // Adds empty rows or drops rows at the end; the title row stays.
    void setRows(int rows);
    // Adds empty columns or drops columns at the end, with their cells.
    void setCols(int cols);

    QStringView textView(int row, int col) const;
    QString text(int row, int col) const { return textView(row, col).toString(); }
    void setText(int row, int col, QStringView text);
    // Column 0 of the entry row for a new record, kept at the end of an
    // editable list.
    static constexpr QStringView EntryRowMark = u"*";
    // Column 0 of rows fromRow … gets the row's index, except on the entry row.
    void numberRows(int fromRow);
    qint32 rowData(int row) const;
    void setRowData(int row, qint32 data);

    // Inserts a row from tab-separated text (column 0 first) before row
    // `before`; rows() appends.
    void insertRow(int before, QStringView tabText);
    // Inserts prepared rows in one step before row `before`; rows() appends.
    void insertRows(int before, std::vector<GridRow> &&rows);
    void removeRowAt(int row);
    // Copies the texts of columns fromCol … toCol of one row into another.
    void copyCells(int fromRow, int toRow, int fromCol, int toCol);

    // Cell styles; colours are 24-bit blue-green-red numbers, 0 the normal
    // one. A background set to 0 shows the normal background even where the
    // row would alternate to grey.
    quint32 backColor(int row, int col) const;
    void setBackColor(int row, int col, quint32 bgr);
    quint32 foreColor(int row, int col) const;
    void setForeColor(int row, int col, quint32 bgr);
    bool bold(int row, int col) const;
    void setBold(int row, int col, bool bold);
    // Drops the cell backgrounds of rows fromRow … and columns fromCol …, so
    // they show the normal (alternating) background again.
    void clearBackColors(int fromRow, int fromCol);

    // Data rows with an even index show light grey unless a cell has its own
    // background; computed when painting, so it is right for every row.
    void setAlternate(bool on);
    bool alternate() const { return m_alternate; }
    // The row drawn marked as current (bold or red text), 0 for none.
    enum class RowMark { None, Bold, Red };
    void setMarkedRow(int row, RowMark mark);

    // Alignment settings 0 … 9 (left-top … right-bottom, 9 general: numbers
    // right, text left) of a column's data cells and of its title cell.
    int colAlignment(int col) const;
    void setColAlignment(int col, int alignment);
    int fixedAlignment(int col) const;
    void setFixedAlignment(int col, int alignment);
    void setFont(const QFont &font);

    // Whether a column's cells take typed text: such cells are editable
    // items, and item views let input methods compose only in those.
    using TakesText = std::function<bool(int col)>;
    void setTakesText(TakesText takesText) { m_takesText = std::move(takesText); }

    // Sorts rows fromRow … toRow by columns fromCol … toCol (left one first):
    // texts that both read as numbers compare as numbers, others as text.
    // A sort key function, when given, stands in for each cell's text.
    using SortKeyOf = std::function<QString(QStringView)>;
    void sortRows(int fromRow, int toRow, int fromCol, int toCol, bool ascending,
                  const SortKeyOf &keyOf = {});

    // QAbstractTableModel
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // All data rows by one data column, as sortRows does.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    static Qt::Alignment toQtAlignment(int alignment, bool numeric);

Q_SIGNALS:
    // The title-row cell of column 0, which no header section shows.
    void cornerChanged();

private:
    int count() const { return int(m_rows.size()); }
    QVariant cellData(int row, int col, int role) const;
    // The background as kept: 0 when none was set, else marked as set.
    quint32 storedBackColor(int row, int col) const;
    quint32 storedForeColor(int row, int col) const;
    bool storedBold(int row, int col) const;
    void cellChanged(int row, int col, const QList<int> &roles = {});
    bool inside(int row, int col) const
    {
        return row >= 0 && row < count() && col >= 0 && col < m_cols;
    }
    // inside(), after reading the rest of a load.
    bool has(int row, int col) const
    {
        readRestOfLoad();
        return inside(row, col);
    }

    std::vector<GridRow> m_rows;
    int m_cols = 0;
    std::vector<int> m_colAlignment;
    std::vector<int> m_fixedAlignment;
    bool m_alternate = false;
    int m_markedRow = 0;
    RowMark m_mark = RowMark::None;
    QFont m_boldFont;
    TakesText m_takesText;
    mutable ReadRest m_readRest;
    mutable int m_keepPending = 0;
};
