#include "DbError.h"


#include <QLoggingCategory>
#include <QSqlError>

namespace {

Q_LOGGING_CATEGORY(lcDb, "tovik.db")

} // namespace

QString EngineText(const QSqlError &error)
{
    // The driver's and the database's texts, without repeating one in the other.
    QString db = error.databaseText().trimmed();
    // The server quotes the statement ("LINE 1: select …" and a caret line
    // under it); the statement goes to the log, not to the user.
    if (const qsizetype quote = db.indexOf(QLatin1String("\nLINE ")); quote >= 0) {
        const qsizetype caret = db.indexOf(QLatin1Char('^'), quote);
        const qsizetype end = caret >= 0 ? db.indexOf(QLatin1Char('\n'), caret) : -1;
        db = db.left(quote) + (end >= 0 ? db.mid(end) : QString());
    }
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
