#include "OutsidePress.h"

#include <QCoreApplication>
#include <QEvent>

OutsidePress::OutsidePress(QWidget *area, std::function<void()> pressed)
    : m_area(area)
    , m_pressed(std::move(pressed))
{
}

OutsidePress::~OutsidePress()
{
    stop();
}

void OutsidePress::watch()
{
    if (m_watching)
        return;
    QCoreApplication::instance()->installEventFilter(this);
    m_watching = true;
}

void OutsidePress::stop()
{
    if (!m_watching)
        return;
    QCoreApplication::instance()->removeEventFilter(this);
    m_watching = false;
}

bool OutsidePress::isInside(const QWidget *widget) const
{
    // parentWidget() crosses into the owner of a pop-up window, which
    // isAncestorOf() does not.
    for (; widget; widget = widget->parentWidget()) {
        if (widget == m_area)
            return true;
    }
    return false;
}

bool OutsidePress::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) && watched->isWidgetType()
        && m_area && !isInside(static_cast<QWidget *>(watched)))
        m_pressed();
    return false;
}
