#include "OVGrid.h"
#include "OVGrid_p.h"

#include "appearance/RowFitMarks.h"
#include "editing/OutsidePress.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

OVGridPrivate::OVGridPrivate(OVGrid *q)
    : q(q)
{
}

OVGridPrivate::~OVGridPrivate() = default;

OVGrid::OVGrid(QWidget *parent)
    : QWidget(parent)
    , d(std::make_unique<OVGridPrivate>(this))
{
    d->grd = new GridView(this);
    d->grd->setObjectName(QStringLiteral("ovgrid_grd"));
    d->txt = new QLineEdit(d->grd);
    d->txt->setObjectName(QStringLiteral("txt"));
    d->txt->hide();
    d->cboTemplate = new QComboBox(d->grd);
    d->cboTemplate->setObjectName(QStringLiteral("ovgrid_cbo0"));
    d->cboTemplate->setEditable(true);
    d->cboTemplate->hide();
    d->cbodata = new QComboBox(d->grd);
    d->cbodata->setObjectName(QStringLiteral("cbodata"));
    d->cbodata->hide();
    d->cmd = new QToolButton(d->grd);
    d->cmd->setObjectName(QStringLiteral("cmd"));
    d->cmd->setArrowType(Qt::DownArrow);
    d->cmd->hide();
    d->lbl = new QLabel(this);
    d->lbl->setObjectName(QStringLiteral("ovgrid_lbl"));
    d->lbl->setWordWrap(true);
    d->lbl->hide();
    d->pic = new QLabel(d->grd);
    d->pic->setObjectName(QStringLiteral("ovgrid_pic"));
    d->pic->hide();
    d->msg = new QLabel(this);
    d->msg->setObjectName(QStringLiteral("ovgrid_msg"));
    d->msg->setFrameStyle(QFrame::Box | QFrame::Plain);
    d->msg->setAutoFillBackground(true);
    d->msg->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    d->msg->resize(d->grd->toPixelsX(2295), d->grd->toPixelsY(735));
    d->msg->hide();

    // The editors keep the font they start with; Font changes the grid only.
    QFont startFont = d->grd->font();
    startFont.setResolveMask(QFont::AllPropertiesResolved); // set, not inherited
    for (QWidget *part : {static_cast<QWidget *>(d->txt), static_cast<QWidget *>(d->cboTemplate),
                          static_cast<QWidget *>(d->cbodata), static_cast<QWidget *>(d->lbl)})
        part->setFont(startFont);

    d->colSettings.resize(d->grd->cols());
    d->grd->setColAlignment(0, 4);
    for (int c = 0; c < d->grd->cols(); ++c)
        d->grd->setFixedAlignment(c, 4);

    connect(d->grd, &GridView::leaveCell, this, [this] { d->onLeaveCell(); });
    connect(d->grd, &GridView::rowColChange, this, [this] { d->onRowColChange(); });
    connect(d->grd, &GridView::enterCell, this, [this] { d->onEnterCell(); });
    d->initEditing();
    d->initAppearance();

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

QString OVGrid::EditText() const
{
    return d->txt->text();
}

void OVGrid::setEditText(const QString &value)
{
    d->txt->setText(value);
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

bool OVGrid::AllowRowDelete() const
{
    return d->allowRowDelete;
}

void OVGrid::setAllowRowDelete(bool value)
{
    d->allowRowDelete = value;
    d->markDirty();
}

bool OVGrid::AllowRowNo() const
{
    return d->allowRowNo;
}

void OVGrid::setAllowRowNo(bool value)
{
    d->allowRowNo = value;
    d->markDirty();
}

int OVGrid::MouseCol() const
{
    return d->grd->mouseCol();
}

int OVGrid::MouseRow() const
{
    return d->grd->mouseRow();
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

bool OVGrid::AllowSort() const
{
    return d->allowSort;
}

void OVGrid::setAllowSort(bool value)
{
    d->allowSort = value;
    d->markDirty();
}

bool OVGrid::Editable() const
{
    return d->editable;
}

void OVGrid::setEditable(bool value)
{
    d->editable = value;
    d->grd->updateInputMethod();
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

bool OVGrid::isPropertyBagDirty() const
{
    return d->dirty;
}
