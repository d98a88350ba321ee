#include "DbError.h"

#include "shared/base/MessageBox.h"

#include <QLoggingCategory>
#include <QSqlError>

namespace {

Q_LOGGING_CATEGORY(lcDb, "tovik.db")

} // namespace

QString EngineText(const QSqlError &error)
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

DbError::DbError(const QString &text)
    : std::runtime_error(text.toStdString())
    , m_text(text)
{
}

DbError::DbError(const QSqlError &error, const QString &statement)
    : DbError(EngineText(error))
{
    m_statement = statement;
    qCWarning(lcDb, "%s\n  in: %s", qUtf8Printable(m_text),
              qUtf8Printable(statement.isEmpty() ? QStringLiteral("(no statement)") : statement));
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
