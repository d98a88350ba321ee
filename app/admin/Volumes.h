#pragma once

#include <QList>
#include <QString>

// A mounted file system as the backup sees it: where it is mounted and
// whether it sits on a removable drive (a USB stick, a card reader).
struct Volume
{
    QString rootPath;
    bool removable = false;
};

// The mounted, ready volumes in mount order.
QList<Volume> MountedVolumes();

// Whether the block device (/dev/sdb1, or a symlink to it) is on a drive the
// kernel reports as removable; a partition answers for its disk. Optical
// drives do not count: a disc cannot take a backup. sysRoot is the sysfs
// mount, replaceable for tests.
bool IsRemovableBlockDevice(const QString &device, const QString &sysRoot = QStringLiteral("/sys"));
