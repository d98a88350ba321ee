#include "OVGridPlugin.h"

#include <OVGrid.h>

#include <QIcon>

QString OVGridPlugin::name() const
{
    return QStringLiteral("OVGrid");
}

QString OVGridPlugin::group() const
{
    return QStringLiteral("Orvane");
}

QString OVGridPlugin::toolTip() const
{
    return QStringLiteral("数据录入表格");
}

QString OVGridPlugin::whatsThis() const
{
    return QStringLiteral("A data-entry grid laid out by column-specification strings.");
}

QString OVGridPlugin::includeFile() const
{
    return QStringLiteral("OVGrid.h");
}

QIcon OVGridPlugin::icon() const
{
    return QIcon();
}

bool OVGridPlugin::isContainer() const
{
    return false;
}

QWidget *OVGridPlugin::createWidget(QWidget *parent)
{
    return new OVGrid(parent);
}

QString OVGridPlugin::domXml() const
{
    // 6000 × 3000 twips: room for a few columns and rows.
    return QStringLiteral(
        "<ui language=\"c++\"><widget class=\"OVGrid\" name=\"grd\">"
        "<property name=\"geometry\"><rect><x>0</x><y>0</y><width>400</width><height>200</height></rect></property>"
        "</widget></ui>");
}
