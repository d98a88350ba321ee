#include "OVNavigationBarPlugin.h"

#include <OVNavigationBar.h>

OVNavigationBarPlugin::OVNavigationBarPlugin(QObject *parent)
    : ControlPlugin({QStringLiteral("OVNavigationBar"), QStringLiteral("记录导航条"),
                     QStringLiteral("Steps through the record ids its host window saved or opened."),
                     QStringLiteral("nav"),
                     QSize(201, 41), // 3015 × 615 twips, the bar's size on the bill window
                     [](QWidget *p) -> QWidget * { return new OVNavigationBar(p); }},
                    parent)
{
}
