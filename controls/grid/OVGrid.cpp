#include "OVGrid.h"
#include "OVGrid_p.h"

#include "appearance/RowFitter.h"
#include "editing/GridEditing.h"
#include "rows/LoadRun.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLoggingCategory>

namespace {

Q_LOGGING_CATEGORY(lcColumns, "tovik.grid.columns")

} // namespace

OVGridPrivate::OVGridPrivate(OVGrid *q)
    : q(q)
{
}

OVGridPrivate::~OVGridPrivate()
{
    // A load still pending is dropped with its statement; the model, which
    // outlives this state, must not call back into it.
    if (load)
        model()->setRestOfLoad({});
}

void OVGridPrivate::init()
{
    grd = new GridView(q);
    grd->setObjectName(QStringLiteral("ovgrid_grd"));
    editing = std::make_unique<GridEditing>(this);
    fitter = std::make_unique<RowFitter>(grd, columns, q);
    pic = new QLabel(grd);
    pic->setObjectName(QStringLiteral("ovgrid_pic"));
    pic->hide();
    msg = new QLabel(q);
    msg->setObjectName(QStringLiteral("ovgrid_msg"));
    msg->setFrameStyle(QFrame::Box | QFrame::Plain);
    msg->setAutoFillBackground(true);
    msg->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    msg->resize(grd->toPixelsX(2295), grd->toPixelsY(735));
    msg->hide();

    // The editors keep the font they start with; Font changes the grid only.
    QFont startFont = grd->font();
    startFont.setResolveMask(QFont::AllPropertiesResolved); // set, not inherited
    editing->setFont(startFont);
    fitter->setFont(startFont);

    columns.resize(grd->cols());
    grd->setColAlignment(0, 4);
    for (int c = 0; c < grd->cols(); ++c)
        grd->setFixedAlignment(c, 4);

    QObject::connect(grd, &GridView::leaveCell, q, [this] { onLeaveCell(); });
    QObject::connect(grd, &GridView::rowColChange, q, [this] { onRowColChange(); });
    QObject::connect(grd, &GridView::enterCell, q, [this] { onEnterCell(); });
    editing->init();
    // Rows coming into view get their heights before the editor follows
    // its cell to where they put it.
    QObject::connect(grd, &GridView::scrolled, q, [this] {
        fitter->fitRowsInView();
        editing->followCurrentCell();
    });
    // Long titles wrap in a title row fitted to them rather than being cut short.
    grd->horizontalHeader()->setTextElideMode(Qt::ElideNone);
    pic->setScaledContents(true);
    pic->show();
}

bool OVGridPrivate::report(const char *property, const ListString::Result &result) const
{
    if (result.ok())
        return true;
    qCWarning(lcColumns, "OVGrid %s: %s; the items before it were applied", property,
              qPrintable(result.message()));
    return false;
}

void OVGridPrivate::moveInternally(int row, int col)
{
    const bool was = internalMove;
    internalMove = true;
    grd->setRow(row);
    grd->setCol(col);
    internalMove = was;
}

void OVGridPrivate::announceCurrentCell(int oldRow, int oldCol)
{
    // The view's row is Row(): 0 without data rows. It is read directly so
    // that a pending load stays pending (the event is heard by nobody then).
    Q_EMIT q->AfterRowColChange(oldRow, oldCol, grd->row(), grd->col());
    if (currentRowMode != OVGrid::ovCRNone)
        markCurrentRow(true);
    editing->updateDropButton();
}

void OVGridPrivate::markCurrentRow(bool forced)
{
    if (!forced && grd->row() == prevRow)
        return;
    const int row = grd->row(); // 0 when there is no data row
    const auto mark = currentRowMode == OVGrid::ovCRFontBold    ? GridModel::RowMark::Bold
                      : currentRowMode == OVGrid::ovCRForeColor ? GridModel::RowMark::Red
                                                                : GridModel::RowMark::None;
    model()->setMarkedRow(row, mark);
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

void OVGridPrivate::onLeaveCell()
{
    if (internalMove)
        return;
    prevRow = grd->row();
    prevCol = grd->col();
    if (editing->isEditable() && editing->onDataCell())
        editing->commitEdit(true);
}

void OVGridPrivate::onRowColChange()
{
    if (internalMove)
        return;
    if (currentRowMode != OVGrid::ovCRNone)
        markCurrentRow(false);
    Q_EMIT q->AfterRowColChange(prevRow, prevCol, q->Row(), q->Col());
}

void OVGridPrivate::onEnterCell()
{
    if (internalMove || !editing->isEditable())
        return;
    Q_EMIT q->SwitchColType(q->Row(), q->Col());
    editing->showDropButton();
}

OVGrid::OVGrid(QWidget *parent)
    : QWidget(parent)
    , d(std::make_unique<OVGridPrivate>(this))
{
    d->init();
    // A new control numbers and alternates its rows.
    setAllowAlternate(true);
    setAllowRowNo(true);
    setFocusProxy(d->grd);
}

OVGrid::~OVGrid()
{
    // The parts are destroyed after the state; the focus leaving them then
    // must not reach it.
    disconnect(qApp, nullptr, this, nullptr);
}
