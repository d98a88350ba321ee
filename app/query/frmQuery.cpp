#include "frmQuery.h"

#include "shared/base/TextRules.h"
#include "shared/data/DbError.h"
#include "shared/data/NameLists.h"
#include "shared/forms/ComboFill.h"
#include "shared/forms/DTPicker.h"
#include "shared/forms/GridLayout.h"
#include "shared/forms/GridSummary.h"
#include "shared/forms/RecordForm.h"
#include "shared/forms/RecordWindow.h"
#include "shared/forms/TypingCombo.h"
#include "shared/forms/Windows.h"
#include "shared/sheet/Spreadsheet.h"
#include "shared/forms/MessageBox.h"
#include "shared/forms/KeyFilter.h"

#include <OVGrid.h>
#include <OVNavigationBar.h>

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Columns of the two result grids.
enum BillColumn { BillId = 1, BillDate, BillClient, BillPi, BillKg, BillAmount, BillComment, BillCols };
enum LineColumn {
    LineBillId = 1, LineDate, LineClient, LineArtno, LineProduct, LineColor, LinePi, LineKg, LinePrice, LineAmount,
    LineCols
};

// A load cut at the grid's record limit leaves the grid's message panel up.
bool loadWasCut(const OVGrid *grid)
{
    const auto *panel = grid->findChild<QLabel *>(QStringLiteral("ovgrid_msg"));
    return panel && panel->isVisibleTo(grid) && panel->text().contains(QStringLiteral("记录过载"));
}

// The character a key press types, as the key filter numbers it.
// Both result grids: read-only, sortable by a click on a title.
void setUpResultGrid(OVGrid *grid, int cols)
{
    grid->setCols(cols);
    grid->setAllowSort(true);
    grid->setRowHeightMin(420);
    grid->setWordWrap(true);
    grid->setEditable(false);
    grid->setAllowRowDelete(false);
    grid->setTipText(QStringLiteral("打开Tovik：双击表格   排序：单击标题"));
}

template<typename Widget>
Widget *named(QWidget *parent, const QString &name)
{
    auto *widget = new Widget(parent);
    widget->setObjectName(name);
    return widget;
}

QLabel *label(QWidget *parent, const QString &name, const QString &text)
{
    auto *l = named<QLabel>(parent, name);
    l->setText(text);
    return l;
}

} // namespace

frmQuery::frmQuery(QWidget *parent)
    : GridWindow(QStringLiteral("frmQuery"), QStringLiteral("Tovik"), parent)
    , m_grd(grid())
{
    buildControls();
    SetupBillGrid();
    SetupLineGrid();
    fillLists();
    resize(960, 640);
}

void frmQuery::buildControls()
{
    m_cboClient = MakeTypingCombo(this, QStringLiteral("cboClient"), QStringLiteral("data"));
    m_dtpDate1 = named<DTPicker>(this, QStringLiteral("dtpDate1"));
    m_dtpDate2 = named<DTPicker>(this, QStringLiteral("dtpDate2"));
    for (DTPicker *picker : {m_dtpDate1, m_dtpDate2}) {
        picker->setShowCheckBox(true);
        picker->setDisplayFormat(QStringLiteral("yy-MM-dd"));
    }
    m_cboArtno = MakeTypingCombo(this, QStringLiteral("cboArtno"), QStringLiteral("data"));
    m_cboServ = named<QComboBox>(this, QStringLiteral("cboServ"));
    m_cboValue = MakeTypingCombo(this, QStringLiteral("cboValue"));
    m_cmdFind = named<QPushButton>(this, QStringLiteral("cmdFind"));
    m_cmdFind->setText(QStringLiteral("Tovik"));
    m_cmdFind->setToolTip(QStringLiteral("忽略 编号、品名、色号"));
    m_cmdFindsub = named<QPushButton>(this, QStringLiteral("cmdFindsub"));
    m_cmdFindsub->setText(QStringLiteral("明细"));
    m_cmdExcel = named<QPushButton>(this, QStringLiteral("cmdExcel"));
    m_cmdExcel->setText(QStringLiteral("导出"));

    auto *criteria = new QHBoxLayout;
    criteria->addWidget(label(this, QStringLiteral("Label2"), QStringLiteral("客户：")));
    criteria->addWidget(m_cboClient, 2);
    criteria->addWidget(label(this, QStringLiteral("Label3"), QStringLiteral("日期起：")));
    criteria->addWidget(m_dtpDate1);
    criteria->addWidget(label(this, QStringLiteral("Label4"), QStringLiteral("日期止：")));
    criteria->addWidget(m_dtpDate2);
    criteria->addWidget(label(this, QStringLiteral("Label1"), QStringLiteral("编号：")));
    criteria->addWidget(m_cboArtno, 1);
    criteria->addWidget(m_cboServ);
    criteria->addWidget(label(this, QStringLiteral("Label5"), QStringLiteral("：")));
    criteria->addWidget(m_cboValue, 1);
    criteria->addWidget(m_cmdFind);
    criteria->addWidget(m_cmdFindsub);
    criteria->addWidget(m_cmdExcel);

    // The base made grd; the line grid shares its place and shows instead.
    setUpResultGrid(m_grd, BillCols);
    m_grd1 = named<OVGrid>(this, QStringLiteral("grd1"));
    setUpResultGrid(m_grd1, LineCols);
    m_grd1->hide();

    m_lblTitle1 = label(this, QStringLiteral("lblTitle1"), QStringLiteral("0 匹"));
    m_lblTitle3 = label(this, QStringLiteral("lblTitle3"), QStringLiteral("0 KG"));
    m_lblTitle2 = label(this, QStringLiteral("lblTitle2"), QStringLiteral("0.00 元"));
    auto *totals = new QHBoxLayout;
    totals->addStretch(1);
    totals->addWidget(m_lblTitle1);
    totals->addSpacing(24);
    totals->addWidget(m_lblTitle3);
    totals->addSpacing(24);
    totals->addWidget(m_lblTitle2);

    auto *layout = static_cast<QVBoxLayout *>(this->layout());
    layout->setContentsMargins(6, 6, 6, 6);
    layout->insertLayout(0, criteria);
    // The result grids take all the height there is; the totals sit right
    // under them.
    layout->setStretchFactor(m_grd, 1);
    layout->addWidget(m_grd1, 1);
    layout->addLayout(totals);

    connect(m_cboServ, &QComboBox::currentIndexChanged, this, &frmQuery::fieldChosen);
    connect(m_cmdFind, &QPushButton::clicked, this, [this] { RunQuery(true); });
    connect(m_cmdFindsub, &QPushButton::clicked, this, [this] { RunQuery(false); });
    connect(m_cmdExcel, &QPushButton::clicked, this, &frmQuery::exportResult);
    connect(m_grd, &OVGrid::DblClick, this, [this] { openBill(m_grd); });
    connect(m_grd1, &OVGrid::DblClick, this, [this] { openBill(m_grd1); });

    // The window sees every typed character first (see eventFilter).
    const QList<QWidget *> children = findChildren<QWidget *>();
    for (QWidget *child : children)
        child->installEventFilter(this);
}

void frmQuery::SetupBillGrid()
{
    QList<GridColumn> columns(BillCols);
    columns[0] = {.title = QStringLiteral("#"), .width = 700};
    columns[BillId] = {.title = QStringLiteral("ID"), .width = 900, .alignment = 4};
    columns[BillDate] = {.title = QStringLiteral("日期"), .width = 1100, .format = QStringLiteral("yy-mm-dd")};
    columns[BillClient] = {.title = QStringLiteral("客户"), .width = 2100, .wordWrap = true};
    columns[BillPi] = {.title = QStringLiteral("匹"), .width = 1000};
    columns[BillKg] = {.title = QStringLiteral("KG"), .width = 1000};
    columns[BillAmount] = {.title = QStringLiteral("金额"), .width = 1300, .format = QStringLiteral("0.00")};
    columns[BillComment] = {.title = QStringLiteral("备注"), .width = 5400};
    LayOutGrid(m_grd, columns);
}

void frmQuery::SetupLineGrid()
{
    QList<GridColumn> columns(LineCols);
    columns[0] = {.title = QStringLiteral("#"), .width = 700};
    columns[LineBillId] = {.title = QStringLiteral("ID"), .width = 900, .alignment = 4};
    columns[LineDate] = {.title = QStringLiteral("日期"), .width = 1100, .format = QStringLiteral("yy-mm-dd")};
    columns[LineClient] = {.title = QStringLiteral("客户"), .width = 2100, .wordWrap = true};
    columns[LineArtno] = {.title = QStringLiteral("编号"), .width = 1300, .alignment = 4};
    columns[LineProduct] = {.title = QStringLiteral("品名"), .width = 1800, .alignment = 4};
    columns[LineColor] = {.title = QStringLiteral("色号"), .width = 1300, .alignment = 4};
    columns[LinePi] = {.title = QStringLiteral("匹"), .width = 1000};
    columns[LineKg] = {.title = QStringLiteral("KG"), .width = 1000};
    columns[LinePrice] = {.title = QStringLiteral("单价"), .width = 1000, .format = QStringLiteral("0.00")};
    columns[LineAmount] = {.title = QStringLiteral("金额"), .width = 1300, .format = QStringLiteral("0.00")};
    LayOutGrid(m_grd1, columns);
}

void frmQuery::fillLists()
{
    // A list that cannot be read is reported; the window still opens, and a
    // criterion can be typed by hand.
    RunGuarded([this] { FillFormLists(this); });
    FillFieldCaptionCombo(m_cboServ, true);
}

void frmQuery::fieldChosen(int index)
{
    m_cboValue->clear();
    if (index < 0)
        return;
    RunGuarded([&] { FillServCombo(m_cboValue, FieldNames().value(index)); });
}

QueryCriteria frmQuery::criteria() const
{
    QueryCriteria c;
    c.from = m_dtpDate1->value().toDate();
    c.to = m_dtpDate2->value().toDate();
    c.client = m_cboClient->currentText();
    c.artno = m_cboArtno->currentText();
    c.field = m_cboServ->currentIndex();
    c.value = m_cboValue->currentText();
    return c;
}

void frmQuery::RunQuery(bool bills)
{
    ShowResult(BuildQuery(criteria(), bills ? QueryKind::Bills : QueryKind::Lines), bills);
}

void frmQuery::ShowResult(const QueryStatement &statement, bool bills)
{
    m_grd->setVisible(bills);
    m_grd1->setVisible(!bills);
    if (bills)
        QueryBills(statement);
    else
        QueryLines(statement);
}

void frmQuery::QueryBills(const QueryStatement &statement)
{
    LoadGridRows(m_grd, statement.sql, statement.values);
    showTotals(m_grd, BillPi, BillKg, BillAmount, QString::number(m_grd->Rows() - 1));
}

void frmQuery::QueryLines(const QueryStatement &statement)
{
    LoadGridRows(m_grd1, statement.sql, statement.values);
    showTotals(m_grd1, LinePi, LineKg, LineAmount,
               QString::number(CountDistinctInColumn(m_grd1, IdCol)) + QStringLiteral(" / ")
                   + QString::number(m_grd1->Rows() - 1));
}

void frmQuery::showTotals(OVGrid *grid, int piCol, int kgCol, int amountCol, const QString &count)
{
    m_lblTitle2->setText(GridColumnSumText(grid, amountCol, QStringLiteral("0.00")) + QStringLiteral(" 元"));
    m_lblTitle1->setText(GridColumnSumText(grid, piCol) + QStringLiteral(" 匹"));
    m_lblTitle3->setText(GridColumnSumText(grid, kgCol) + QStringLiteral(" KG"));
    // A result cut at the grid's limit must not read as the whole one.
    const QString cut = loadWasCut(grid) ? QStringLiteral("（已截断）") : QString();
    setWindowTitle(QStringLiteral("查询 - ") + count + cut);
}

OVGrid *frmQuery::shownGrid() const
{
    return m_grd->isHidden() ? m_grd1 : m_grd;
}

void frmQuery::openBill(OVGrid *grid)
{
    const int row = grid->Row();
    if (row <= 0)
        return;
    const qint32 id = GridRowId(grid, row, IdCol);
    bool shown = false;
    RunGuarded([&] { shown = OpenRecordForm(id, QStringLiteral("bill")); });
    if (!shown)
        return;
    // Kept unsaved changes leave the bill window on its own record; this
    // window then stays where it is.
    const auto *form = qobject_cast<RecordWindow *>(ActiveForm());
    const OVNavigationBar *nav = form ? form->nav()
                                      : (ActiveForm() ? ActiveForm()->findChild<OVNavigationBar *>(QStringLiteral("nav")) : nullptr);
    if (nav && nav->NewID() == id)
        hide();
}

void frmQuery::exportResult()
{
    ExportRowsToSheet(QStringLiteral("查询"), shownGrid()->Cell(OVGrid::ovCPText).toString());
}

bool frmQuery::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && IsFilteredKey(static_cast<QKeyEvent *>(event)))
        return true;
    return GridWindow::eventFilter(watched, event);
}
