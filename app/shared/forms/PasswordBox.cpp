#include "PasswordBox.h"

#include "KeyFilter.h"

#include <QKeyEvent>
#include <QPushButton>

PasswordBox::PasswordBox(QPushButton *next, Keys keys, QWidget *parent)
    : QLineEdit(parent)
    , m_next(next)
    , m_keys(keys)
{
    setObjectName(QStringLiteral("txtPassword"));
    setEchoMode(QLineEdit::Password);
}

void PasswordBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        m_next->setFocus(Qt::TabFocusReason);
        return;
    }
    if (m_keys == Keys::Filtered && IsFilteredKey(event))
        return;
    QLineEdit::keyPressEvent(event);
}
