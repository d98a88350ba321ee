#pragma once

#include "shared/data/DataAccess.h"

#include <QWidget>

class OVGrid;

// The pattern the list windows share: one grid over one table, loaded once,
// every accepted cell edit stored at once as a whole row, a row deleted by
// double-clicking its number. The last row, "*" in column 0, is the entry row
// for a new record; column 1 holds the record's id (hidden).
//
// A window derives from this, sets its grid up, and keeps only what differs:
// the query, the checks of an edit and the values it stores.
class ListForm : public QWidget
{
    Q_OBJECT
public:
    // The grid column that holds the record id.
    static constexpr int IdCol = 1;

    OVGrid *grid() const { return m_grid; }

protected:
    ListForm(const QString &formName, const QString &caption, const QString &table,
             QWidget *parent = nullptr);

    // Replaces the grid's rows by those of the query, then adds the entry
    // row. A database error is shown and leaves the grid empty.
    void loadRows(const QString &sql, const QVariantList &values = QVariantList());

    // The numeric value of the row's id cell, 0 when it is empty.
    qint32 rowId(int row) const;
    bool isEntryRow(int row) const;

    // Cleans the edit text, then the checks every list makes on its key
    // column: empty on the entry row cancels silently, empty elsewhere shows
    // emptyMessage, and a text that duplicate finds shows text + " 已经存在！".
    // duplicate gets the cleaned text and the row's id. Returns whether the
    // edit may go on; cancel is set when it may not.
    bool checkKeyText(int row, const QString &emptyMessage,
                      const std::function<SqlCondition(const QString &text, qint32 id)> &duplicate,
                      bool &cancel);
    // Shows the row message and cancels the edit.
    void refuse(int row, const QString &text, bool &cancel);

    // Stores the row as one record and writes its id into the id cell. A
    // database error is shown and leaves the row as typed, id cell untouched,
    // so the next accepted edit stores the whole row again.
    void storeRow(int row, const RecordValues &values);

    void closeEvent(QCloseEvent *event) override;

    // What each window answers for its own grid.
    virtual void beforeEdit(int row, int col, bool &cancel);
    virtual void validateEdit(int row, int col, bool &cancel) = 0;
    virtual void afterEdit(int row, int col) = 0;
    virtual void keyDownEdit(int row, int col, short &keyCode, short shift) = 0;

private:
    void beforeRowDelete(int row, bool &cancel);

    OVGrid *m_grid;
    QString m_table;
};
