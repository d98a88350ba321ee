#include "ControlPlugin.h"

#include <QIcon>

ControlPlugin::ControlPlugin(Control control, QObject *parent)
    : QObject(parent)
    , m_control(std::move(control))
{
}

QString ControlPlugin::name() const
{
    return m_control.className;
}

QString ControlPlugin::group() const
{
    return QStringLiteral("Orvane");
}

QString ControlPlugin::toolTip() const
{
    return m_control.toolTip;
}

QString ControlPlugin::whatsThis() const
{
    return m_control.whatsThis;
}

QString ControlPlugin::includeFile() const
{
    return m_control.className + QStringLiteral(".h");
}

QIcon ControlPlugin::icon() const
{
    return QIcon();
}

bool ControlPlugin::isContainer() const
{
    return false;
}

QWidget *ControlPlugin::createWidget(QWidget *parent)
{
    return m_control.create(parent);
}

QString ControlPlugin::domXml() const
{
    return QStringLiteral("<ui language=\"c++\"><widget class=\"%1\" name=\"%2\">"
                          "<property name=\"geometry\"><rect><x>0</x><y>0</y><width>%3</width>"
                          "<height>%4</height></rect></property></widget></ui>")
        .arg(m_control.className, m_control.objectName)
        .arg(m_control.size.width())
        .arg(m_control.size.height());
}
