#include "LazyComboFill.h"

#include "shared/data/DbError.h"
#include "shared/forms/MessageBox.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

namespace {

// The keys with which a closed combo opens its pop-up or steps to another item.
bool wantsItems(const QComboBox *combo, const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_F4:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return true;
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Space:
    case Qt::Key_Select:
        return !combo->isEditable();
    default:
        return false;
    }
}

} // namespace

LazyComboFill::LazyComboFill(QComboBox *combo, Fill fill)
    : QObject(combo)
    , m_combo(combo)
    , m_fill(std::move(fill))
{
    combo->installEventFilter(this);
}

void LazyComboFill::attach(QComboBox *combo, Fill fill)
{
    new LazyComboFill(combo, std::move(fill));
}

void LazyComboFill::fillNow(QComboBox *combo)
{
    // The oldest first: the fills append in the order they were asked for.
    const QList<LazyComboFill *> waiting = combo->findChildren<LazyComboFill *>(Qt::FindDirectChildrenOnly);
    for (LazyComboFill *fill : waiting)
        fill->run();
}

bool LazyComboFill::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_combo && m_fill) {
        const QEvent::Type type = event->type();
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick || type == QEvent::Wheel
            || (type == QEvent::KeyPress && wantsItems(m_combo, static_cast<QKeyEvent *>(event))))
            fillNow(m_combo);
    }
    return QObject::eventFilter(watched, event);
}

void LazyComboFill::run()
{
    if (!m_fill)
        return;
    const Fill fill = std::exchange(m_fill, Fill());
    m_combo->removeEventFilter(this);
    deleteLater();

    const QSignalBlocker blocker(m_combo);
    const QString text = m_combo->currentText();
    const int index = m_combo->currentIndex();
    // A list that cannot be read is reported; the combo still takes typing.
    RunGuarded([&] { fill(m_combo); });
    if (index < 0 && m_combo->isEditable() && !text.isEmpty()) {
        m_combo->setCurrentIndex(m_combo->findText(text));
        m_combo->setEditText(text);
    }
}
