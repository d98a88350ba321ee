#pragma once

#include "shared/data/DataAccess.h"
#include "shared/forms/GridWindow.h"

#include <functional>

// The pattern the list windows share, on top of a grid window: every accepted
// cell edit stored at once as a whole row, a row deleted by double-clicking
// its number. The last row, "*" in column 0, is the entry row for a new
// record; column IdCol holds the record's id (hidden), column KeyCol the key
// text a new record starts with.
//
// A window derives from this, sets its grid up, and keeps only what differs:
// the query, the checks of an edit and the values it stores.
class ListForm : public GridWindow
{
    Q_OBJECT
public:
    static constexpr int KeyCol = 2;

protected:
    ListForm(const QString &formName, const QString &caption, const QString &table,
             QWidget *parent = nullptr);

    // Replaces the grid's rows by those of the query, then adds the entry
    // row. When the load fails, the message is shown and the list gets no
    // entry row, so nothing is typed into a list that could not be read.
    void loadRows(const QString &sql, const QVariantList &values = QVariantList());

    bool isEntryRow(int row) const;

    // The edit text cleaned (CleanText) and written back to the editor.
    QString cleanEditText();

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

    // What each window answers for its own grid. By default a new record
    // starts with its key column, and Enter moves to the next column, from
    // the last one to the key column of the next row.
    virtual void beforeEdit(int row, int col, bool &cancel);
    virtual void validateEdit(int row, int col, bool &cancel) = 0;
    virtual void afterEdit(int row, int col) = 0;
    virtual void keyDownEdit(int row, int col, short &keyCode, short shift);

private:
    void beforeRowDelete(int row, bool &cancel);

    QString m_table;
};
