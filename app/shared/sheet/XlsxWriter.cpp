#include "XlsxWriter.h"

#include "SheetError.h"
#include "Worksheet.h"

#include <QFile>
#include <QFileInfo>

#include <xlsxwriter.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

QString describe(lxw_error error)
{
    return QString::fromUtf8(lxw_strerror(error));
}

// Removes the half-written file unless released.
class PartialFile
{
public:
    explicit PartialFile(const QString &path) : m_path(path) {}
    ~PartialFile()
    {
        if (!m_path.isEmpty())
            QFile::remove(m_path);
    }
    void release() { m_path.clear(); }

private:
    QString m_path;
};

} // namespace

void WriteXlsx(const Worksheet &sheet, const QString &path)
{
    const QFileInfo target(path);
    const QString partial = target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".part");
    auto cannotWrite = [&path](const QString &reason) {
        return SheetError(QStringLiteral("无法写入文件“%1”：%2").arg(path, reason));
    };

    // Rows go out in order as they are written, so a big sheet never sits
    // in memory twice.
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    const QByteArray partialName = QFile::encodeName(partial);
    lxw_workbook *workbook = workbook_new_opt(partialName.constData(), &options);
    if (!workbook)
        throw cannotWrite(describe(LXW_ERROR_MEMORY_MALLOC_FAILED));
    PartialFile cleanup(partial);

    lxw_worksheet *worksheet = workbook_add_worksheet(workbook, sheet.name().toUtf8().constData());
    lxw_error error = worksheet ? LXW_NO_ERROR : LXW_ERROR_SHEETNAME_ALREADY_USED;
    if (worksheet) {
        sheet.forEachCell([&](int row, int column, CellKind kind, const QString &text, double number, int) {
            if (error != LXW_NO_ERROR)
                return;
            const auto r = lxw_row_t(row - 1);
            const auto c = lxw_col_t(column - 1);
            if (kind == CellKind::Number)
                error = worksheet_write_number(worksheet, r, c, number, nullptr);
            else if (kind == CellKind::Text)
                error = worksheet_write_string(worksheet, r, c, text.toUtf8().constData(), nullptr);
        });
        const auto [row, column] = sheet.selection();
        worksheet_set_selection(worksheet, lxw_row_t(row - 1), lxw_col_t(column - 1), lxw_row_t(row - 1),
                                lxw_col_t(column - 1));
    }
    const lxw_error closeError = workbook_close(workbook); // frees the workbook
    if (error != LXW_NO_ERROR)
        throw cannotWrite(describe(error));
    if (closeError != LXW_NO_ERROR)
        throw cannotWrite(describe(closeError));
    // rename() replaces an existing file in one step.
    if (std::rename(partialName.constData(), QFile::encodeName(path).constData()) != 0)
        throw cannotWrite(QString::fromLocal8Bit(std::strerror(errno)));
    cleanup.release();
}
