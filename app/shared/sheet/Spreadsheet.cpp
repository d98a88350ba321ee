#include "Spreadsheet.h"

#include "SheetError.h"
#include "SheetPrinter.h"
#include "Workbook.h"
#include "shared/base/AppPaths.h"
#include "shared/forms/MessageBox.h"

#include <QClipboard>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

// xdg-open reports success as soon as it starts, even when nothing handles
// the file's type; so ask first whether the desktop has an application for
// it, and only then open.
bool openWithDesktop(const QString &path)
{
    const QString mimeType = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension).name();
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (query.waitForStarted(2000) && query.waitForFinished(5000) && query.exitStatus() == QProcess::NormalExit
        && query.exitCode() == 0 && query.readAllStandardOutput().trimmed().isEmpty())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

FileOpener &fileOpener()
{
    static FileOpener opener = openWithDesktop;
    return opener;
}

void putOnClipboard(const QString &text)
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return;
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

// Runs op; a SheetError (or running out of memory) is shown. Whatever op
// opened is its own and goes with it.
bool showingFailure(const std::function<void()> &op)
{
    QString failure;
    try {
        op();
        return true;
    } catch (const SheetError &error) {
        failure = error.description();
    } catch (const std::bad_alloc &) {
        failure = QStringLiteral("内存不足。");
    }
    MsgBox(failure, MsgButtons::Ok, MsgIcon::Warning);
    return false;
}

// A new file in the export folder named after the sheet and the time.
QString exportPath(const QString &sheetName)
{
    const QString base = ExportFolder() + QLatin1Char('/') + sheetName + QLatin1Char('_')
                         + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = base + QStringLiteral(".xlsx");
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = base + QLatin1Char('-') + QString::number(n) + QStringLiteral(".xlsx");
    return path;
}

} // namespace

bool PrintTemplatePages(const QString &templateName, const QList<QList<SheetCell>> &pages)
{
    bool printed = false;
    const bool ran = showingFailure([&] {
        const QString path = FindDataFile(templateName);
        if (path.isEmpty())
            throw SheetError(QStringLiteral("找不到文件“%1”。请把它放到文件夹“%2”中。")
                                 .arg(templateName, QDir::toNativeSeparators(DataFolder())));
        const std::unique_ptr<Workbook> workbook = Workbook::open(path);
        // Copies of the untouched template sheet, one per further page.
        for (qsizetype page = 1; page < pages.size(); ++page)
            workbook->copySheet(0);
        for (qsizetype page = 0; page < pages.size(); ++page) {
            Worksheet &sheet = workbook->sheet(int(page));
            for (const SheetCell &cell : pages.at(page))
                sheet.setValue(cell.row, cell.column, cell.text);
        }
        printed = workbook->printAllSheets(PrintTarget::fromSetting(ReadSettingShown(QStringLiteral("printer"))));
    });
    return ran && printed;
}

bool ExportRowsToSheet(const QString &sheetName, const QString &rows)
{
    QString path;
    const bool written = showingFailure([&] {
        Workbook workbook;
        Worksheet &sheet = workbook.activeSheet();
        sheet.setName(sheetName);
        putOnClipboard(rows);
        sheet.pasteText(rows);
        sheet.select(1, 1);
        path = exportPath(sheetName);
        workbook.saveCopyAs(path);
    });
    if (written && !fileOpener()(path)) {
        MsgBox(QStringLiteral("没有找到可以打开表格文件的程序。文件已保存为：\r\n%1").arg(QDir::toNativeSeparators(path)),
               MsgButtons::Ok, MsgIcon::Information);
    }
    return written;
}

QString ExportFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        throw SheetError(QStringLiteral("找不到文档文件夹。"));
    const QString folder = documents + QStringLiteral("/Tovik");
    if (!QDir().mkpath(folder))
        throw SheetError(QStringLiteral("无法创建文件夹“%1”。").arg(folder));
    if (!QFileInfo(folder).isWritable())
        throw SheetError(QStringLiteral("无法写入文件夹“%1”。").arg(folder));
    return folder;
}

FileOpener SetExportFileOpener(FileOpener opener)
{
    FileOpener previous = std::move(fileOpener());
    fileOpener() = opener ? std::move(opener) : FileOpener(openWithDesktop);
    return previous;
}
