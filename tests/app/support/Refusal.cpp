#include "Refusal.h"

#include "TestDatabase.h"
#include "shared/data/Database.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

namespace {

// Statements that the server will not prepare go unprepared.
void run(const QString &sql)
{
    QSqlQuery query(DbConnection());
    QVERIFY2(query.exec(sql), qPrintable(query.lastError().text()));
}

} // namespace

void Refusal::install() const
{
    if (TestDatabase::onServer()) {
        run(QStringLiteral("create function refuse() returns trigger language plpgsql as $$ begin"
                           " if %1 then raise exception '%2'; end if; return new; end $$")
                .arg(condition, message));
        run(QStringLiteral("create trigger refuse before %1 for each row execute function refuse()").arg(event));
    } else {
        run(QStringLiteral("create trigger refuse before %1 when %2 begin select raise(abort, '%3'); end")
                .arg(event, condition, message));
    }
}

void Refusal::remove() const
{
    if (TestDatabase::onServer())
        run(QStringLiteral("drop function refuse() cascade"));
    else
        run(QStringLiteral("drop trigger refuse"));
}
