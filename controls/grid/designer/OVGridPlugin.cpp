#include "OVGridPlugin.h"

#include <OVGrid.h>

OVGridPlugin::OVGridPlugin(QObject *parent)
    : ControlPlugin({QStringLiteral("OVGrid"), QStringLiteral("数据录入表格"),
                     QStringLiteral("A data-entry grid laid out by column-specification strings."),
                     QStringLiteral("grd"),
                     QSize(400, 200), // 6000 × 3000 twips: room for a few columns and rows
                     [](QWidget *p) -> QWidget * { return new OVGrid(p); }},
                    parent)
{
}
