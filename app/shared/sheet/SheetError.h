#pragma once

#include <QString>

#include <stdexcept>

// A failure of a workbook operation (file missing or damaged, printer or
// folder unusable). It carries a description meant for the user; the
// spreadsheet procedures catch it, show it and end the operation.
class SheetError : public std::runtime_error
{
public:
    explicit SheetError(const QString &description)
        : std::runtime_error(description.toStdString())
        , m_description(description)
    {
    }

    QString description() const { return m_description; }

private:
    QString m_description;
};
