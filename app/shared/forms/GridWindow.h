#pragma once

#include <QVariantList>
#include <QWidget>

class OVGrid;

// Loading a grid from a query, for every window that lists rows (the list
// windows, the query window, the article picker).

// Replaces the grid's rows by those of the query (BindRst). A database error
// is shown, leaves only the title row and returns false.
bool LoadGridRows(OVGrid *grid, const QString &sql, const QVariantList &values = QVariantList());

// The numeric value of a row's id cell; 0 when it is empty or not a number.
qint32 GridRowId(const OVGrid *grid, int row, int idCol);

// A window over one read-only grid named "grd" that fills the window: the
// base of the list windows and the query window. Closing it shows the main
// menu again.
class GridWindow : public QWidget
{
    Q_OBJECT
public:
    // The grid column that holds the record id.
    static constexpr int IdCol = 1;

    OVGrid *grid() const { return m_grid; }

protected:
    GridWindow(const QString &formName, const QString &caption, QWidget *parent = nullptr);

    bool loadRows(const QString &sql, const QVariantList &values = QVariantList());
    qint32 rowId(int row) const;

    void closeEvent(QCloseEvent *event) override;

private:
    OVGrid *m_grid;
};
