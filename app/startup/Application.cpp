#include "Application.h"

#include "shared/forms/Windows.h"

#include <QApplication>
#include <QFont>

namespace {

// 宋体, falling back to the CJK fonts that Debian installs.
QFont programFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"),
                      QStringLiteral("Noto Sans CJK SC")});
    font.setPointSize(10);
    return font;
}

} // namespace

void SetProgramIdentity()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Orvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Tovik"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TOVIK_VERSION));
}

void InitApplication(QApplication &app)
{
    SetProgramIdentity();
    // No display name: the desktop would append it to every window caption,
    // and the captions are the windows' own ("客户", not "客户 — Tovik").
    app.setFont(programFont());
    TrackActiveForm();
}
