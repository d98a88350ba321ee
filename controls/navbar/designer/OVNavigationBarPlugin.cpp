#include "OVNavigationBarPlugin.h"

#include <OVNavigationBar.h>

#include <QIcon>

QString OVNavigationBarPlugin::name() const
{
    return QStringLiteral("OVNavigationBar");
}

QString OVNavigationBarPlugin::group() const
{
    return QStringLiteral("Orvane");
}

QString OVNavigationBarPlugin::toolTip() const
{
    return QStringLiteral("记录导航条");
}

QString OVNavigationBarPlugin::whatsThis() const
{
    return QStringLiteral("Steps through the record ids its host window saved or opened.");
}

QString OVNavigationBarPlugin::includeFile() const
{
    return QStringLiteral("OVNavigationBar.h");
}

QIcon OVNavigationBarPlugin::icon() const
{
    return QIcon();
}

bool OVNavigationBarPlugin::isContainer() const
{
    return false;
}

QWidget *OVNavigationBarPlugin::createWidget(QWidget *parent)
{
    return new OVNavigationBar(parent);
}

QString OVNavigationBarPlugin::domXml() const
{
    // 3015 × 615 twips, the bar's size on the bill window.
    return QStringLiteral(
        "<ui language=\"c++\"><widget class=\"OVNavigationBar\" name=\"nav\">"
        "<property name=\"geometry\"><rect><x>0</x><y>0</y><width>201</width><height>41</height></rect></property>"
        "</widget></ui>");
}
