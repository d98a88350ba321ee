// OVGrid: layout, colours, row heights, editors that follow their cell, the
// mouse wheel, the tooltip, messages and the log.

#include "OVGrid_p.h"

#include "appearance/AboutBox.h"
#include "appearance/RowFitMarks.h"
#include "appearance/TextMeasure.h"
#include "appearance/WheelRule.h"
#include "editing/EditRules.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPainter>
#include <QStandardPaths>
#include <QStyle>
#include <QTextStream>
#include <QToolButton>
#include <QWheelEvent>

#include <optional>

namespace {

Q_LOGGING_CATEGORY(lcAppearance, "tovik.grid.appearance")

// Repaint and fitting loops give the user the screen back after this long.
constexpr qint64 BudgetMs = 100;
constexpr int RowPadding = 100;   // twips added to a fitted row's text height
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

void OVGridPrivate::initAppearance()
{
    fitMarks = std::make_unique<RowFitMarks>(model());
    // Rows coming into view get their heights before the editor follows
    // its cell to where they put it.
    QObject::connect(grd, &GridView::scrolled, q, [this] {
        fitRowsInView();
        followCurrentCell();
    });
    QObject::connect(grd, &GridView::viewResized, q, [this] { fitRowsInView(); });
    // The scroll that brings a row into view is worked out from true heights.
    QObject::connect(grd, &GridView::aboutToScrollTo, q, [this](int row) {
        fitScreenful(row, -1);
        fitScreenful(row, 1);
    });
    // A removal moves rows up into view; the marks have moved with them.
    QObject::connect(model(), &QAbstractItemModel::rowsRemoved, q, [this] { fitRowsInView(); });
    // Long titles wrap in a title row fitted to them rather than being cut short.
    grd->horizontalHeader()->setTextElideMode(Qt::ElideNone);
    pic->setScaledContents(true);
    pic->show();
}

void OVGridPrivate::paintAlternateRows(int fromRow, int fromCol)
{
    if (grd->rows() <= 1 || grd->cols() <= 1)
        return;
    // Row colours are worked out as rows are drawn, so every row is right
    // at once; only colours a host set on cells need taking back.
    model()->setAlternate(true);
    if (customBackColour)
        model()->clearBackColors(fromRow, fromCol);
}

int OVGridPrivate::textWidthOf(int row, int col) const
{
    QStyle *style = grd->style();
    const int margin = row == 0 ? style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, grd)
                                : style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grd) + 1;
    return grd->toPixelsX(grd->colWidth(col)) - 2 * margin;
}

void OVGridPrivate::fitRowHeight(int row)
{
    if (row == -1)
        row = grd->row();
    if (row < 0 || row >= grd->rows())
        return;
    fitMarks->take(row);
    int height = 0;
    for (int c = 1; c < grd->cols(); ++c) {
        if (!colSettings.wordWrap[c] && row != 0)
            continue;
        // Hidden columns show no text to make room for.
        if (grd->colWidth(c) <= EditRules::HiddenWidth)
            continue;
        height = std::max(height, wrappedTextHeight(lbl->font(), model()->text(row, c), textWidthOf(row, c)));
    }
    grd->setRowHeightTwips(row, std::max(grd->toTwipsY(height) + RowPadding, grd->rowHeightMin()));
}

void OVGridPrivate::fitRowHeights(int fromRow, int toRow)
{
    if (fromRow == -1)
        fromRow = 1;
    if (toRow == -1)
        toRow = grd->rows() - 1;
    if (fromRow < 0 || fromRow >= grd->rows() || toRow < 0 || toRow >= grd->rows())
        return;
    QElapsedTimer timer;
    timer.start();
    const DrawingPause pause(grd);
    for (int r = fromRow; r <= toRow && timer.elapsed() <= BudgetMs; ++r)
        fitRowHeight(r);
}

void OVGridPrivate::fitRowsInView()
{
    if (!fitMarks->any() || grd->rows() <= 1)
        return;
    fitScreenful(grd->topRow(), 1);
    fitScreenful(grd->rows() - 1, -1);
}

void OVGridPrivate::fitScreenful(int fromRow, int step)
{
    if (!fitMarks->any())
        return;
    const int viewHeight = std::max(grd->viewport()->height(), 1);
    std::optional<DrawingPause> pause; // only once a row is fitted
    int filled = 0;
    for (int r = fromRow; r >= 1 && r < grd->rows() && filled < viewHeight; r += step) {
        if (fitMarks->take(r)) {
            if (!pause)
                pause.emplace(grd);
            fitRowHeight(r);
        }
        filled += grd->rowHeight(r - 1); // 0 for a hidden row
    }
}

void OVGridPrivate::fitIfMarked(int row)
{
    if (fitMarks->take(row))
        fitRowHeight(row);
}

void OVGridPrivate::markCurrentRow(bool forced)
{
    if (!forced && grd->row() == prevRow)
        return;
    const int row = grd->rows() > 1 ? grd->row() : 0;
    const auto mark = currentRowMode == OVGrid::ovCRFontBold    ? GridModel::RowMark::Bold
                      : currentRowMode == OVGrid::ovCRForeColor ? GridModel::RowMark::Red
                                                                : GridModel::RowMark::None;
    model()->setMarkedRow(row, mark);
}

void OVGridPrivate::layoutChildren()
{
    grd->setGeometry(q->rect());
    const int stripWidth = std::max(grd->width() - grd->toPixelsX(2 * StripInset), 0);
    const int stripHeight = std::max(grd->toPixelsY(StripHeight), 1);
    pic->setGeometry(grd->toPixelsX(StripInset), grd->height() - stripHeight, stripWidth, stripHeight);
    pic->setPixmap(stripImage(stripWidth, stripHeight));
    msg->move((q->width() - msg->width()) / 2, (q->height() - msg->height()) / 2);
}

void OVGridPrivate::followCurrentCell()
{
    if (!editable)
        return;
    const QString tag = tagOf(grd->col());
    if (tag.isEmpty() || tag == QLatin1String("chk"))
        return;
    QWidget *editor = nullptr;
    for (QWidget *candidate : {static_cast<QWidget *>(txt), static_cast<QWidget *>(cmd),
                               static_cast<QWidget *>(cbodata)}) {
        if (!candidate->isHidden()) {
            editor = candidate;
            break;
        }
    }
    if (!editor && tag == QLatin1String("cbo")) {
        const auto it = cbo.find(grd->col());
        if (it != cbo.end() && !it->second->isHidden())
            editor = it->second;
    }
    if (!editor)
        return;
    if (!grd->rowIsVisible(grd->row())) {
        // Out of sight but still open, until the row scrolls back.
        editor->move(-9999, editor->y());
        return;
    }
    const QRect cell = cellRect();
    if (editor == cmd)
        editor->move(cell.right() + 1 - cmd->width(), cell.top());
    else
        editor->move(cell.topLeft());
}

bool OVGridPrivate::onWheel(QWheelEvent *event)
{
    if (!grd->hasFocus() || grd->rows() <= 1)
        return false;
    const auto top = wheelTopRow(event->angleDelta().y(), event->modifiers(), event->buttons(),
                                 grd->topRow(), grd->rowIsVisible(grd->rows() - 1));
    if (!top)
        return false;
    if (*top != grd->topRow())
        grd->setTopRow(std::min(*top, grd->rows() - 1));
    event->accept();
    return true;
}

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
    d->layoutChildren();
}

void OVGrid::paintEvent(QPaintEvent *event)
{
    // A tooltip the host gave the control as a whole shows on the grid.
    if (d->grd->toolTip().isEmpty() && !toolTip().isEmpty())
        d->grd->setToolTip(toolTip());
    QWidget::paintEvent(event);
}
