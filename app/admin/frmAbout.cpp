#include "frmAbout.h"

#include "shared/base/AppPaths.h"
#include "shared/forms/MessageBox.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGridLayout>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QStyle>
#include <QUrl>

namespace {

const QString DefaultAddress = QStringLiteral("https://www.orvane.com/tovik");

void addLine(QGridLayout *layout, QWidget *parent, const QString &name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    layout->addWidget(label, layout->rowCount(), 0, 1, 2);
}

} // namespace

QString AboutAddress()
{
    const QString address = ReadSettingShown(QStringLiteral("url")).trimmed();
    return address.isEmpty() ? DefaultAddress : address;
}

frmAbout::frmAbout(QWidget *parent)
    : QDialog(parent)
    , m_address(AboutAddress())
    , m_link(new QLabel(m_address, this))
    , m_copy(new QLabel(this))
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("关于"));
    setModal(true);

    auto *layout = new QGridLayout(this);
    addLine(layout, this, QStringLiteral("lblVersion"), QStringLiteral("【版  本】210104"));
    addLine(layout, this, QStringLiteral("lblMaker"), QStringLiteral("【制  作】Orvane 软件工作室"));
    addLine(layout, this, QStringLiteral("lblDownload"), QStringLiteral("【下  载】新版本请到下面的网址下载："));

    m_link->setObjectName(QStringLiteral("Label3"));
    m_link->setToolTip(QStringLiteral("打开链接"));
    m_link->setCursor(Qt::PointingHandCursor);
    QFont font = m_link->font();
    font.setUnderline(true);
    m_link->setFont(font);
    m_link->setForegroundRole(QPalette::Link);
    m_link->installEventFilter(this);

    m_copy->setObjectName(QStringLiteral("imgQuery2"));
    m_copy->setToolTip(QStringLiteral("复制链接"));
    m_copy->setCursor(Qt::PointingHandCursor);
    const QIcon icon = QIcon::fromTheme(QStringLiteral("edit-copy"),
                                        style()->standardIcon(QStyle::SP_FileDialogContentsView));
    m_copy->setPixmap(icon.pixmap(24, 24));
    m_copy->installEventFilter(this);

    const int row = layout->rowCount();
    layout->addWidget(m_link, row, 0);
    layout->addWidget(m_copy, row, 1);
    layout->setColumnStretch(0, 1);
    setMinimumWidth(320);
}

bool frmAbout::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (watched == m_link) {
            openAddress();
            return true;
        }
        if (watched == m_copy) {
            copyAddress();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmAbout::openAddress() const
{
    if (!QDesktopServices::openUrl(QUrl::fromUserInput(m_address)))
        MsgBox(QStringLiteral("无法打开链接：%1").arg(m_address), MsgButtons::Ok, MsgIcon::Warning);
}

void frmAbout::copyAddress() const
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(m_address);
}
