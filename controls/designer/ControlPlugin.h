#pragma once

#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <functional>

// What puts one of our controls into Qt Designer's widget box, shared by the
// grid's and the navigation bar's plugins; each plugin only describes its
// control. The program never loads a plugin.
class ControlPlugin : public QObject, public QDesignerCustomWidgetInterface
{
    Q_OBJECT
    Q_INTERFACES(QDesignerCustomWidgetInterface)

public:
    struct Control
    {
        QString className;  // also the header's name, className + ".h"
        QString toolTip;
        QString whatsThis;
        QString objectName; // the name a new instance gets on a form
        QSize size;         // its first size on a form, in pixels
        std::function<QWidget *(QWidget *parent)> create;
    };

    ControlPlugin(Control control, QObject *parent);

    QString name() const override;
    QString group() const override;
    QString toolTip() const override;
    QString whatsThis() const override;
    QString includeFile() const override;
    QIcon icon() const override;
    bool isContainer() const override;
    QWidget *createWidget(QWidget *parent) override;
    QString domXml() const override;

private:
    const Control m_control;
};
