#pragma once

// A private ~/.config/Orvane/ov.ini for one test: the settings folder is
// chosen again, so ReadSetting reads what the test wrote.

#include "shared/base/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestSettings
{
public:
    TestSettings()
    {
        qputenv("XDG_CONFIG_HOME", m_dir.path().toUtf8());
        QDir(m_dir.path()).mkpath(QStringLiteral("Orvane"));
    }
    ~TestSettings()
    {
        QFile::remove(path());
        InitSettingsFolder();
    }

    // Writes [ov] with the given key=value lines.
    void write(const QList<QPair<QString, QString>> &values) const
    {
        QFile file(path());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[ov]\n");
        for (const auto &[key, value] : values)
            file.write((key + QLatin1Char('=') + value + QLatin1Char('\n')).toUtf8());
        file.close();
        InitSettingsFolder();
    }

private:
    QString path() const { return m_dir.filePath(QStringLiteral("Orvane/ov.ini")); }

    QTemporaryDir m_dir;
};
