#pragma once

#include <QString>

#include <stdexcept>

class QSqlError;

// A database error ends the operation in progress: the shared data-access
// procedures throw it, and the window handler that started the operation
// catches it (RunGuarded) and shows the engine's text.
class DbError : public std::runtime_error
{
public:
    explicit DbError(const QString &text);
    // The user sees the engine's text only; the statement goes with it to the
    // log (category "tovik.db"), where a developer looks for it.
    DbError(const QSqlError &error, const QString &statement = QString());

    // What the user is shown.
    QString text() const { return m_text; }
    QString statement() const { return m_statement; }

private:
    QString m_text;
    QString m_statement;
};

// The engine's own description of an error, as users are shown it.
QString EngineText(const QSqlError &error);
