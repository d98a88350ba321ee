#pragma once

#include "ControlPlugin.h"

// Offers OVNavigationBar in Qt Designer's widget box.
class OVNavigationBarPlugin : public ControlPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetInterface")

public:
    explicit OVNavigationBarPlugin(QObject *parent = nullptr);
};
