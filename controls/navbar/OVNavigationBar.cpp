#include "OVNavigationBar.h"

#include "NavigationList.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int PictureSize = 16;

// The four button pictures: a triangle pointing the way of the move, with a
// bar at its tip for first and last. Drawn rather than loaded, so the bar
// looks the same under every icon theme.
QIcon buttonPicture(int index, const QColor &colour)
{
    const bool backwards = index < 2;
    const bool toEnd = index == 0 || index == 3;

    QPixmap pixmap(PictureSize, PictureSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);

    // Drawn pointing right, mirrored for the backward moves.
    if (backwards) {
        painter.translate(PictureSize, 0);
        painter.scale(-1, 1);
    }
    const qreal tip = toEnd ? 11.5 : 12.5;
    QPainterPath triangle;
    triangle.moveTo(toEnd ? 3.5 : 4.5, 2.5);
    triangle.lineTo(tip, 8);
    triangle.lineTo(toEnd ? 3.5 : 4.5, 13.5);
    triangle.closeSubpath();
    painter.drawPath(triangle);
    if (toEnd)
        painter.drawRect(QRectF(12, 2.5, 2, 11));
    return QIcon(pixmap);
}

} // namespace

OVNavigationBar::OVNavigationBar(QWidget *parent)
    : QWidget(parent)
    , m_list(std::make_unique<NavigationList>())
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(1);

    m_label = new QLabel(QStringLiteral("* / 0"), this);
    m_label->setObjectName(QStringLiteral("lbl"));
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setMinimumWidth(m_label->fontMetrics().horizontalAdvance(QStringLiteral("0000 / 0000")));

    static const char *const toolTips[] = {"第一条", "上一条", "下一条", "最后一条"};
    const QColor colour = palette().color(QPalette::WindowText);
    for (int i = 0; i < 4; ++i) {
        auto *button = new QToolButton(this);
        button->setObjectName(QStringLiteral("imgBar") + QString::number(i));
        button->setIcon(buttonPicture(i, colour));
        button->setIconSize(QSize(PictureSize, PictureSize));
        button->setAutoRaise(true);
        button->setToolTip(QString::fromUtf8(toolTips[i]));
        // Picture buttons: they take no focus from the host's fields.
        button->setFocusPolicy(Qt::NoFocus);
        // A hidden button keeps its place, so the others never jump.
        QSizePolicy policy = button->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        button->setSizePolicy(policy);
        connect(button, &QToolButton::clicked, this, [this, i] { press(i); });
        m_buttons[i] = button;
    }

    layout->addWidget(m_buttons[0]);
    layout->addWidget(m_buttons[1]);
    layout->addWidget(m_label, 1);
    layout->addWidget(m_buttons[2]);
    layout->addWidget(m_buttons[3]);
}

OVNavigationBar::~OVNavigationBar() = default;

void OVNavigationBar::Navigate(int BarFlag, int InputID)
{
    const QPointer<OVNavigationBar> alive(this);
    const bool output = m_list->navigate(BarFlag, InputID, [this](qint32 id, bool &cancel) {
        checkExists(id, cancel);
    });
    if (output)
        Q_EMIT OutputID(m_list->currentId());
    // The host's answer may have closed its window and this bar with it.
    if (alive)
        refresh();
}

QString OVNavigationBar::BarList() const
{
    return m_list->joinedIds();
}

int OVNavigationBar::Count() const
{
    return m_list->count();
}

int OVNavigationBar::NewIndex() const
{
    return m_list->position();
}

int OVNavigationBar::NewID() const
{
    return m_list->currentId();
}

void OVNavigationBar::ShowAbout()
{
    QDialog about(this);
    about.setObjectName(QStringLiteral("frmAbout"));
    about.setWindowTitle(QStringLiteral("关于 OVNavigationBar"));

    auto *layout = new QVBoxLayout(&about);
    auto *pictures = new QHBoxLayout;
    const QColor colour = palette().color(QPalette::WindowText);
    for (int i = 0; i < 4; ++i) {
        auto *picture = new QLabel(&about);
        picture->setPixmap(buttonPicture(i, colour).pixmap(PictureSize * 2, PictureSize * 2));
        pictures->addWidget(picture);
    }
    pictures->addStretch();
    layout->addLayout(pictures);
    layout->addWidget(new QLabel(QStringLiteral("OVNavigationBar 1.0\n记录导航条：第一条、上一条、下一条、最后一条"), &about));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &about);
    connect(buttons, &QDialogButtonBox::accepted, &about, &QDialog::accept);
    layout->addWidget(buttons);

    about.exec();
}

void OVNavigationBar::press(int index)
{
    bool cancel = false;
    Q_EMIT Allow(cancel);
    if (cancel)
        return;

    const QPointer<OVNavigationBar> alive(this);
    m_list->press(index, [this](qint32 id, bool &cancel) { checkExists(id, cancel); });
    if (!alive)
        return;
    // The host sees the new position in the label while it loads the record.
    refresh();
    Q_EMIT OutputID(m_list->currentId());
}

void OVNavigationBar::checkExists(qint32 id, bool &cancel)
{
    Q_EMIT CheckExistID(id, cancel);
}

void OVNavigationBar::refresh()
{
    const NavigationList::Display shown = m_list->display();
    m_label->setText(shown.label);
    m_buttons[0]->setVisible(shown.first);
    m_buttons[1]->setVisible(shown.previous);
    m_buttons[2]->setVisible(shown.next);
    m_buttons[3]->setVisible(shown.last);
}
