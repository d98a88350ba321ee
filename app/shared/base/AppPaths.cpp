#include "AppPaths.h"


#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

QString &settingsFolderState()
{
    static QString folder;
    return folder;
}

} // namespace

QString ProgramFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString DataFolder()
{
    const QString fromEnv = qEnvironmentVariable("TOVIK_DATA_DIR");
    if (!fromEnv.isEmpty()) {
        QDir().mkpath(fromEnv);
        return QDir::cleanPath(fromEnv);
    }
    if (QFileInfo::exists(ProgramFolder() + QStringLiteral("/ovBill.db")))
        return ProgramFolder();
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    return folder;
}

QString DatabasePath()
{
    return DataFolder() + QStringLiteral("/ovBill.db");
}

void InitSettingsFolder()
{
    const QString user = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                         + QStringLiteral("/Orvane");
    settingsFolderState() = QFileInfo::exists(user + QStringLiteral("/ov.ini")) ? user : ProgramFolder();
}

QString SettingsFolder()
{
    if (settingsFolderState().isEmpty())
        InitSettingsFolder();
    return settingsFolderState();
}

QString ReadSetting(const QString &key, const QString &defaultValue, QString *error)
{
    const QString path = SettingsFolder() + QStringLiteral("/ov.ini");
    if (!QFileInfo::exists(path))
        return defaultValue;
    const QSettings ini(path, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError) {
        if (error) {
            *error = ini.status() == QSettings::AccessError ? QStringLiteral("无法读取设置文件：%1").arg(path)
                                                            : QStringLiteral("设置文件格式错误：%1").arg(path);
        }
        return QString();
    }
    const QVariant value = ini.value(QStringLiteral("ov/") + key);
    if (!value.isValid())
        return defaultValue;
    // A value with commas reads back as a list; the file means the whole text.
    if (value.userType() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

QString FindDataFile(const QString &fileName)
{
    const QStringList folders{
        DataFolder(),
        ProgramFolder() + QStringLiteral("/../share/tovik"),
        QStringLiteral(TOVIK_SHARE_DIR),
    };
    for (const QString &folder : folders) {
        const QString path = QDir::cleanPath(folder + QLatin1Char('/') + fileName);
        if (QFileInfo::exists(path))
            return path;
    }
    return QString();
}
