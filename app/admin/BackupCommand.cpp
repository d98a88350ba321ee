#include "BackupCommand.h"

#include "Backup.h"
#include "shared/base/AppPaths.h"
#include "shared/forms/MessageBox.h"
#include "shared/data/Database.h"

#include <QCursor>
#include <QDateTime>
#include <QGuiApplication>

namespace {

class WaitCursor
{
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

} // namespace

void RunBackupCommand()
{
    const QString setting = ReadSettingShown(QStringLiteral("backup"));
    BackupResult result;
    {
        const WaitCursor wait;
        result = BackupDatabase(DbConnection(), setting, MountedVolumes(), QDateTime::currentDateTime());
    }
    MsgBox(BackupMessage(result), MsgButtons::Ok,
           result.status == BackupResult::Copied ? MsgIcon::Information : MsgIcon::Warning);
}
