#pragma once

#include "shared/data/DbError.h"

#include <QDate>
#include <QList>
#include <QString>

#include <array>
#include <optional>

// Moves one bill between the bill window and tables bill and billsub. A
// plain class over DbConnection, so the save can be tested on a database file
// without a window. Every function throws DbError on a database error.

struct BillHeader
{
    qint32 id = 0;          // 0: a new bill
    QString client;
    QString link;
    QDate date;             // a null date is stored as Null
    std::array<QString, 4> man; // man1 … man4
    QString comment;
};

struct BillLine
{
    int row = 0;            // the grid row it came from, handed back in SavedBill
    qint32 id = 0;          // billsub.id; 0: never saved
    QString artno;
    QString product;
    QString color;
    std::array<double, 10> pieces{}; // an empty piece cell is 0
    double quantity = 0;    // KG
    double price = 0;
    double pi = 0;          // number of pieces
};

// An article as a bill line takes it over.
struct ArticleDefaults
{
    QString product;
    QString color;
    double price = 0;
};

struct SavedBill
{
    qint32 id = 0;
    // For each line saved: its grid row and the billsub.id it now has.
    QList<QPair<int, qint32>> lineIds;
};

class BillStore
{
public:
    // Whether bill id is still stored.
    static bool exists(qint32 id);

    // The header of bill id; an invalid id gives an empty header with id 0.
    static BillHeader loadHeader(qint32 id);

    // The product, colour and price of article artno; empty for an unknown
    // article number (a line may carry one).
    static std::optional<ArticleDefaults> article(const QString &artno);

    // The statement (one "?" for the bill id) whose rows fill grid columns
    // LineId … Pieces in line-id order: id, artno, product, color,
    // col1 … col10, quantity, price, quantity*price, pi.
    static QString lineQuery();

    // Stores the header, then each line (a line with an id is updated in
    // place; one whose row vanished meanwhile is inserted again), then the
    // bill's totals, as one transaction: when any step fails nothing is
    // stored and DbError is thrown. A bill whose id is set but no longer
    // stored is not saved: BillDeleted is thrown.
    static SavedBill save(const BillHeader &header, const QList<BillLine> &lines);

    // Deletes one stored line and recomputes its bill's totals, as one
    // transaction.
    static void deleteLine(qint32 billId, qint32 lineId);

    // Deletes a bill; its lines go with it.
    static void deleteBill(qint32 id);
};

// Thrown by BillStore::save for a bill deleted meanwhile; its text is the
// message the user sees.
class BillDeleted : public DbError
{
public:
    BillDeleted();
};
