#include "DTPicker.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>

DTPicker::DTPicker(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    m_check = new QCheckBox(this);
    m_check->setObjectName(QStringLiteral("check"));
    m_check->setChecked(true);
    m_check->hide();

    m_edit = new QDateEdit(QDate::currentDate(), this);
    m_edit->setObjectName(QStringLiteral("date"));
    m_edit->setDisplayFormat(QStringLiteral("yy-MM-dd"));
    m_edit->setCalendarPopup(true);

    layout->addWidget(m_check);
    layout->addWidget(m_edit, 1);
    setFocusProxy(m_edit);

    connect(m_check, &QCheckBox::toggled, this, [this](bool ticked) {
        m_edit->setEnabled(ticked);
        childChanged();
    });
    connect(m_edit, &QDateEdit::dateChanged, this, &DTPicker::childChanged);
    m_last = value();
}

QVariant DTPicker::value() const
{
    if (m_check->isVisibleTo(this) && !m_check->isChecked())
        return QVariant();
    return m_edit->date();
}

void DTPicker::setValue(const QVariant &value)
{
    const QDate date = value.toDate();
    if (!date.isValid() && !showCheckBox())
        return;
    m_setting = true;
    if (date.isValid())
        m_edit->setDate(date);
    m_check->setChecked(date.isValid());
    m_setting = false;
    noteValue();
}

QDate DTPicker::date() const
{
    return m_edit->date();
}

bool DTPicker::showCheckBox() const
{
    return m_check->isVisibleTo(this);
}

void DTPicker::setShowCheckBox(bool show)
{
    m_check->setVisible(show);
    // Without a box there is always a date.
    if (!show)
        m_check->setChecked(true);
    noteValue();
}

QString DTPicker::displayFormat() const
{
    return m_edit->displayFormat();
}

void DTPicker::setDisplayFormat(const QString &format)
{
    m_edit->setDisplayFormat(format);
}

void DTPicker::childChanged()
{
    if (!m_setting)
        noteValue();
}

void DTPicker::noteValue()
{
    const QVariant now = value();
    if (now != m_last) {
        m_last = now;
        Q_EMIT valueChanged();
    }
}
