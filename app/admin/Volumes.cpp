#include "Volumes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

namespace {

QString readFirstLine(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLatin1(file.readLine()).trimmed();
}

} // namespace

QList<Volume> MountedVolumes()
{
    QList<Volume> volumes;
    const QList<QStorageInfo> mounted = QStorageInfo::mountedVolumes();
    for (const QStorageInfo &info : mounted) {
        if (!info.isValid() || !info.isReady())
            continue;
        volumes.append({info.rootPath(), IsRemovableBlockDevice(QString::fromLocal8Bit(info.device()))});
    }
    return volumes;
}

bool IsRemovableBlockDevice(const QString &device, const QString &sysRoot)
{
    if (!device.startsWith(QLatin1String("/dev/")))
        return false;
    // /dev/disk/by-label/… and similar are links to the real node.
    const QString canonical = QFileInfo(device).canonicalFilePath();
    const QString name = QFileInfo(canonical.isEmpty() ? device : canonical).fileName();
    // sr0, sr1: optical drives report removable media but take no writes.
    if (name.isEmpty() || name.startsWith(QLatin1String("sr")))
        return false;

    QDir block(sysRoot + QStringLiteral("/class/block/") + name);
    if (!block.exists())
        return false;
    // A partition's sysfs folder sits inside its disk's folder.
    QString disk = block.canonicalPath();
    if (disk.isEmpty())
        disk = block.absolutePath();
    if (QFileInfo::exists(disk + QStringLiteral("/partition")))
        disk = QFileInfo(disk).path();
    return readFirstLine(disk + QStringLiteral("/removable")) == QLatin1String("1");
}
