#include "DbError.h"

#include "shared/base/MessageBox.h"

#include <QSqlError>

namespace {

QString describe(const QSqlError &error)
{
    // The driver's and the database's texts, without repeating one in the other.
    const QString db = error.databaseText().trimmed();
    const QString driver = error.driverText().trimmed();
    if (db.isEmpty())
        return driver;
    if (driver.isEmpty() || db.contains(driver))
        return db;
    return db + QStringLiteral("\n") + driver;
}

} // namespace

DbError::DbError(const QString &text)
    : std::runtime_error(text.toStdString())
    , m_text(text)
{
}

DbError::DbError(const QSqlError &error, const QString &statement)
    : DbError(statement.isEmpty() ? describe(error)
                                  : describe(error) + QStringLiteral("\n\n") + statement)
{
}

bool RunGuarded(const std::function<void()> &op)
{
    try {
        op();
        return true;
    } catch (const DbError &e) {
        MsgBox(e.text(), MsgButtons::Ok, MsgIcon::Critical);
        return false;
    }
}
