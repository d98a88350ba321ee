#include "FormControls.h"

#include "DTPicker.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QVariant>

namespace {

// Widgets that only hold other controls. Anything else is a control, or a
// compound widget whose parts are its own business.
bool isContainer(const QWidget *widget)
{
    static const char *const containers[] = {"QWidget", "QFrame", "QGroupBox", "QScrollArea",
                                             "QTabWidget", "QStackedWidget", "QSplitter", "QToolBox"};
    const char *name = widget->metaObject()->className();
    for (const char *container : containers) {
        if (qstrcmp(name, container) == 0)
            return true;
    }
    return false;
}

void collect(const QObject *parent, QWidgetList &controls)
{
    for (QObject *child : parent->children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (!widget || widget->isWindow())
            continue;
        if (isContainer(widget)) {
            collect(widget, controls);
        } else {
            controls << widget;
        }
    }
}

} // namespace

QString TagOf(const QObject *object)
{
    return object ? object->property("Tag").toString() : QString();
}

bool TagHas(const QString &tag, const QString &word)
{
    return tag.contains(word);
}

QString TagDefault(const QString &tag)
{
    return tag.mid(3);
}

QString ControlTypeName(const QWidget *control)
{
    if (qobject_cast<const QLineEdit *>(control))
        return QStringLiteral("TextBox");
    if (qobject_cast<const QComboBox *>(control))
        return QStringLiteral("ComboBox");
    if (qobject_cast<const QLabel *>(control))
        return QStringLiteral("Label");
    if (qobject_cast<const QCheckBox *>(control))
        return QStringLiteral("CheckBox");
    if (qobject_cast<const DTPicker *>(control))
        return QStringLiteral("DTPicker");
    if (control && control->inherits("OVGrid"))
        return QStringLiteral("OVGrid");
    return QString();
}

QWidgetList FormControls(const QWidget *form)
{
    QWidgetList controls;
    if (form)
        collect(form, controls);
    return controls;
}

QWidget *FirstInTabOrder(const QWidget *form)
{
    if (!form)
        return nullptr;
    for (QWidget *w = form->nextInFocusChain(); w && w != form; w = w->nextInFocusChain()) {
        if (w->window() == form && (w->focusPolicy() & Qt::TabFocus))
            return w;
    }
    return nullptr;
}
