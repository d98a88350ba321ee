// OVGrid: layout, colours, fonts and drawing, the tooltip, messages and
// the log.

#include "OVGrid_p.h"

#include "appearance/AboutBox.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLoggingCategory>
#include <QPainter>
#include <QStandardPaths>
#include <QTextStream>

namespace {

Q_LOGGING_CATEGORY(lcAppearance, "tovik.grid.appearance")

constexpr int StripHeight = 30;   // twips
constexpr int StripInset = 100;   // twips from either end of the grid

// Where Log writes: the host's choice, or the application's data location.
QString &logFolderSlot()
{
    static QString folder;
    return folder;
}

QPixmap stripImage(int width, int height)
{
    QPixmap image(std::max(width, 1), std::max(height, 1));
    image.fill(QColor(0xE0, 0xE0, 0xE0));
    QPainter painter(&image);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    for (int x = 0; x < image.width(); x += 4)
        painter.drawLine(x, 0, x, image.height() - 1);
    return image;
}

} // namespace

void OVGrid::Message(int setting, const QString &msging)
{
    switch (setting) {
    case 0:
        d->msg->show();
        d->msg->raise();
        break;
    case 1:
        d->printMessage(msging);
        break;
    case 2:
        d->msg->hide();
        break;
    default:
        break;
    }
}

void OVGrid::setLogFolder(const QString &folder)
{
    logFolderSlot() = folder;
}

QString OVGrid::logFolder()
{
    if (!logFolderSlot().isEmpty())
        return logFolderSlot();
    const QString appData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(appData);
    return appData;
}

bool OVGrid::Log(const QString &str)
{
    const QString path = logFolder() + QStringLiteral("/log.txt");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        qCWarning(lcAppearance, "OVGrid Log: cannot write %s: %s", qPrintable(path),
                  qPrintable(file.errorString()));
        return false;
    }
    QTextStream out(&file);
    out << str << '\t' << Row() << '\t' << Col() << '\n';
    out.flush();
    return file.error() == QFileDevice::NoError;
}

void OVGrid::ShowAbout()
{
    AboutBox box(this);
    box.exec();
}

void OVGrid::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    d->grd->setGeometry(rect());
    const int stripWidth = std::max(d->grd->width() - d->grd->toPixelsX(2 * StripInset), 0);
    const int stripHeight = std::max(d->grd->toPixelsY(StripHeight), 1);
    d->pic->setGeometry(d->grd->toPixelsX(StripInset), d->grd->height() - stripHeight, stripWidth, stripHeight);
    d->pic->setPixmap(stripImage(stripWidth, stripHeight));
    d->msg->move((width() - d->msg->width()) / 2, (height() - d->msg->height()) / 2);
}

void OVGrid::paintEvent(QPaintEvent *event)
{
    // A tooltip the host gave the control as a whole shows on the grid.
    if (d->grd->toolTip().isEmpty() && !toolTip().isEmpty())
        d->grd->setToolTip(toolTip());
    QWidget::paintEvent(event);
}

OVGrid::CurrentRowModes OVGrid::CurrentRowMode() const
{
    return d->currentRowMode;
}

void OVGrid::setCurrentRowMode(CurrentRowModes value)
{
    if (value < ovCRNone || value > ovCRForeColor)
        return;
    d->currentRowMode = value;
    d->markDirty();
}

bool OVGrid::Redraw() const
{
    return d->grd->redraw();
}

void OVGrid::setRedraw(bool value)
{
    d->grd->setRedraw(value);
}

QString OVGrid::TipText() const
{
    return d->grd->toolTip();
}

void OVGrid::setTipText(const QString &value)
{
    d->grd->setToolTip(value);
}

QFont OVGrid::Font() const
{
    return d->grd->font();
}

void OVGrid::setFont(const QFont &value)
{
    d->grd->setGridFont(value);
    d->markDirty();
}

bool OVGrid::AllowAlternate() const
{
    return d->allowAlternate;
}

void OVGrid::setAllowAlternate(bool value)
{
    d->allowAlternate = value;
    // The grey of even rows is worked out as rows are drawn: off, no row
    // gets it, neither those there nor those still to come.
    d->model()->setAlternate(value);
    d->markDirty();
}

int OVGrid::MergeCells() const
{
    return d->grd->mergeCells();
}

void OVGrid::setMergeCells(int value)
{
    d->grd->setMergeCells(value);
    d->markDirty();
}

int OVGrid::RowHeightMin() const
{
    return d->grd->rowHeightMin();
}

void OVGrid::setRowHeightMin(int value)
{
    d->grd->setRowHeightMin(value);
    d->markDirty();
}

bool OVGrid::WordWrap() const
{
    return d->grd->wordWrap();
}

void OVGrid::setWordWrap(bool value)
{
    d->grd->setWordWrap(value);
    d->markDirty();
}

void OVGrid::Refresh()
{
    d->grd->refresh();
}
