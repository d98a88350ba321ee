#include "SpreadsheetApp.h"

#include "shared/base/MessageBox.h"
#include "SheetError.h"
#include "SheetPrinter.h"
#include "shared/base/AppPaths.h"

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

std::unique_ptr<SpreadsheetApplication> &applicationSlot()
{
    static std::unique_ptr<SpreadsheetApplication> application;
    return application;
}

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

SpreadsheetApplication::FileOpener &fileOpener()
{
    static SpreadsheetApplication::FileOpener opener = openWithDesktop;
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

} // namespace

Workbook &SpreadsheetApplication::AddWorkbook()
{
    m_workbooks.push_back(std::make_unique<Workbook>());
    return *m_workbooks.back();
}

Workbook &SpreadsheetApplication::OpenWorkbook(const QString &path)
{
    m_workbooks.push_back(Workbook::open(path));
    return *m_workbooks.back();
}

Workbook &SpreadsheetApplication::OpenDataWorkbook(const QString &fileName)
{
    const QString path = FindDataFile(fileName);
    if (path.isEmpty())
        throw SheetError(QStringLiteral("找不到文件“%1”。请把它放到文件夹“%2”中。")
                             .arg(fileName, QDir::toNativeSeparators(DataFolder())));
    return OpenWorkbook(path);
}

Workbook *SpreadsheetApplication::ActiveWorkbook() const
{
    return m_workbooks.empty() ? nullptr : m_workbooks.back().get();
}

Workbook &SpreadsheetApplication::requireActiveWorkbook() const
{
    Workbook *workbook = ActiveWorkbook();
    if (!workbook)
        throw SheetError(QStringLiteral("没有打开的工作簿。"));
    return *workbook;
}

Worksheet &SpreadsheetApplication::ActiveSheet() const
{
    return requireActiveWorkbook().activeSheet();
}

bool SpreadsheetApplication::PrintOut() const
{
    return requireActiveWorkbook().printOut(PrintTarget::fromSetting(ReadSetting(QStringLiteral("printer"))));
}

bool SpreadsheetApplication::PrintOutWorkbook() const
{
    return requireActiveWorkbook().printAllSheets(PrintTarget::fromSetting(ReadSetting(QStringLiteral("printer"))));
}

void SpreadsheetApplication::CloseActiveWorkbook()
{
    if (!m_workbooks.empty())
        m_workbooks.pop_back();
}

QString SpreadsheetApplication::ExportFolder()
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

QString SpreadsheetApplication::ShowWorkbook(const Workbook &workbook)
{
    const QString folder = ExportFolder();
    const QString base = folder + QLatin1Char('/') + workbook.activeSheet().name() + QLatin1Char('_')
                         + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = base + QStringLiteral(".xlsx");
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = base + QLatin1Char('-') + QString::number(n) + QStringLiteral(".xlsx");
    workbook.saveCopyAs(path);
    if (m_visible && !fileOpener()(path)) {
        MsgBox(QStringLiteral("没有找到可以打开表格文件的程序。文件已保存为：\r\n%1").arg(QDir::toNativeSeparators(path)),
               MsgButtons::Ok, MsgIcon::Information);
    }
    return path;
}

SpreadsheetApplication::FileOpener SpreadsheetApplication::SetFileOpener(FileOpener opener)
{
    FileOpener previous = std::move(fileOpener());
    fileOpener() = opener ? std::move(opener) : FileOpener(openWithDesktop);
    return previous;
}

SpreadsheetApplication *SpreadsheetApp()
{
    return applicationSlot().get();
}

bool EnsureSpreadsheetApp()
{
    // Our own component needs nothing installed; it is made once and kept.
    if (!applicationSlot())
        applicationSlot() = std::make_unique<SpreadsheetApplication>();
    return true;
}

bool ExportTextToSheet(const QString &sheetName, const QString &content)
{
    return EnsureSpreadsheetApp() && PasteTextToNewSheet(sheetName, content);
}

bool PasteTextToNewSheet(const QString &sheetName, const QString &content)
{
    return RunSheetGuarded([&](SpreadsheetApplication &app) {
        Workbook &workbook = app.AddWorkbook();
        Worksheet &sheet = app.ActiveSheet();
        sheet.setName(sheetName);
        app.setVisible(true);
        putOnClipboard(content);
        sheet.pasteText(content);
        sheet.select(1, 1);
        app.ShowWorkbook(workbook);
        // The file is the user's now; nothing more is done with the copy here.
        app.CloseActiveWorkbook();
    });
}

bool RunSheetGuarded(const std::function<void(SpreadsheetApplication &app)> &op)
{
    if (!EnsureSpreadsheetApp())
        return false;
    SpreadsheetApplication &app = *SpreadsheetApp();
    const int openBefore = app.WorkbookCount();
    QString failure;
    try {
        op(app);
        return true;
    } catch (const SheetError &error) {
        failure = error.description();
    } catch (const std::bad_alloc &) {
        failure = QStringLiteral("内存不足。");
    }
    while (app.WorkbookCount() > openBefore)
        app.CloseActiveWorkbook();
    MsgBox(failure, MsgButtons::Ok, MsgIcon::Warning);
    return false;
}
