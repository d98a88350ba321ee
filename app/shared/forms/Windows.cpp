#include "Windows.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace {

bool isProgramWindow(const QWidget *widget)
{
    return widget->isWindow() && widget->objectName().startsWith(QLatin1String("frm"));
}

// Follows window activation for the whole application, so that "the active
// window" means the program window the user last worked in even while a
// message box has the focus.
class ActiveFormTracker : public QObject
{
public:
    using QObject::QObject;
    QPointer<QWidget> active;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::WindowActivate && watched->isWidgetType()) {
            auto *widget = static_cast<QWidget *>(watched);
            if (isProgramWindow(widget))
                active = widget;
        }
        return QObject::eventFilter(watched, event);
    }
};

ActiveFormTracker *tracker()
{
    static QPointer<ActiveFormTracker> instance;
    if (!instance && qApp) {
        instance = new ActiveFormTracker(qApp);
        qApp->installEventFilter(instance);
    }
    return instance;
}

} // namespace

void TrackActiveForm()
{
    tracker();
}

bool IsFormLoaded(const QString &name)
{
    return FindForm(name) != nullptr;
}

QWidget *FindForm(const QString &name)
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window->objectName() == name)
            return window;
    }
    return nullptr;
}

QWidget *ActiveForm()
{
    ActiveFormTracker *t = tracker();
    if (t && t->active)
        return t->active;
    QWidget *window = QApplication::activeWindow();
    return window && isProgramWindow(window) ? window : nullptr;
}

void SetActiveForm(QWidget *form)
{
    if (ActiveFormTracker *t = tracker(); t && form && isProgramWindow(form))
        t->active = form;
}

void ShowMainMenu()
{
    if (QWidget *menu = FindForm(QStringLiteral("frmControl"))) {
        menu->show();
        menu->raise();
        menu->activateWindow();
    }
}
