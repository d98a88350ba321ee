#include "AboutBox.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {

// A small picture of a grid with its title row and one marked cell.
QPixmap gridPicture()
{
    QPixmap picture(48, 48);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.fillRect(0, 0, 48, 12, QColor(0xC0, 0xC0, 0xC0));
    painter.fillRect(0, 0, 12, 48, QColor(0xC0, 0xC0, 0xC0));
    painter.fillRect(24, 24, 12, 12, QColor(0xE0, 0xE0, 0xE0));
    painter.setPen(QColor(0x60, 0x60, 0x60));
    for (int i = 0; i <= 48; i += 12) {
        painter.drawLine(i, 0, i, 47);
        painter.drawLine(0, i, 47, i);
    }
    painter.setPen(QPen(Qt::red, 2));
    painter.drawRect(25, 25, 10, 10);
    return picture;
}

} // namespace

AboutBox::AboutBox(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("关于 OVGrid"));
    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("img"));
    picture->setPixmap(gridPicture());
    auto *name = new QLabel(QStringLiteral("<b>OVGrid</b> 数据录入表格控件"), this);
    name->setObjectName(QStringLiteral("lblName"));
    auto *version = new QLabel(QStringLiteral("版本 1.0"), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    auto *maker = new QLabel(QStringLiteral("Orvane 出品。本控件随 Tovik 一同提供。"), this);
    maker->setObjectName(QStringLiteral("lblMaker"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *texts = new QVBoxLayout;
    texts->addWidget(name);
    texts->addWidget(version);
    texts->addWidget(maker);
    auto *top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addLayout(texts);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
}
