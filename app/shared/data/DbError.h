#pragma once

#include <QString>

#include <functional>
#include <stdexcept>

class QSqlError;

// A database error ends the operation in progress: the shared data-access
// procedures throw it, and the window handler that started the operation
// catches it (RunGuarded) and shows the engine's text.
class DbError : public std::runtime_error
{
public:
    explicit DbError(const QString &text);
    DbError(const QSqlError &error, const QString &statement = QString());

    QString text() const { return m_text; }

private:
    QString m_text;
};

// Runs op; a DbError it throws is shown in a message box. Returns whether
// op ran to its end. Every event handler that reaches the database goes
// through this, so no exception ever crosses Qt's event loop.
bool RunGuarded(const std::function<void()> &op);
