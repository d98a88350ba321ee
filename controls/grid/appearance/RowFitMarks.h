#pragma once

#include <QObject>

#include <vector>

class QAbstractItemModel;

// The data rows whose heights still wait to be fitted to their wrapped text.
// A large load marks its rows and only those that come into view are
// measured; each is measured once, until it is marked again. The marks
// follow the model's row inserts and removals, as row heights do.
class RowFitMarks : public QObject
{
public:
    explicit RowFitMarks(QAbstractItemModel *model, QObject *parent = nullptr);

    // Grid rows fromRow … toRow (row 0, the title row, is never marked).
    void mark(int fromRow, int toRow);
    // Unmarks a row; true when it was marked.
    bool take(int row);
    bool any() const { return m_count > 0; }

private:
    void inserted(int first, int last);
    void removed(int first, int last);

    // Index: grid row − 1, as the model counts its rows.
    std::vector<bool> m_marked;
    int m_count = 0;
};
