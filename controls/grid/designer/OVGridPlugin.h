#pragma once

#include "ControlPlugin.h"

// Offers OVGrid in Qt Designer's widget box, so list and entry windows can
// be laid out with it.
class OVGridPlugin : public ControlPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetInterface")

public:
    explicit OVGridPlugin(QObject *parent = nullptr);
};
