#include "frmBill.h"

#include "BillColumns.h"
#include "BillLineRules.h"
#include "BillPrint.h"
#include "masterdata/frmSearchArtno.h"
#include "shared/forms/MessageBox.h"
#include "shared/base/TextRules.h"
#include "shared/data/DataAccess.h"
#include "shared/data/DbError.h"
#include "shared/forms/DTPicker.h"
#include "shared/forms/GridLayout.h"
#include "shared/forms/GridSummary.h"
#include "shared/forms/RecordForm.h"
#include "shared/forms/TypingCombo.h"
#include "shared/forms/Windows.h"
#include "shared/forms/KeyFilter.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>

#include <utility>

namespace {

// The window's sizes are in twips: 1440 to the inch.
constexpr int ClientWidth = 19305;
constexpr int ClientHeight = 8280;
constexpr int FieldHeight = 330;
constexpr int LineRows = 8;      // empty lines a short bill is padded to
constexpr int ButtonTop = 120;

const char *const ManLabels[4] = {"制单人：", "业务员：", "收款人：", "送货人："};

void setComboText(QComboBox *combo, const QString &text)
{
    const int index = combo->findText(text);
    combo->setCurrentIndex(index);
    if (index < 0)
        combo->setEditText(text);
}

} // namespace

frmBill::frmBill(QWidget *parent)
    : RecordWindow(parent)
{
    setObjectName(QStringLiteral("frmBill"));
    setWindowTitle(QStringLiteral("Tovik"));
    setProperty("Tag", QStringLiteral("total"));
    setAttribute(Qt::WA_DeleteOnClose);

    createControls();
    placeControls();
    setRecordControls(m_nav, m_grd);

    RunGuarded([this] { FillFormLists(this); });
    SetupGrid();
    // Wired after the lists are filled and the date set, so that opening the
    // window is not a change.
    connectEvents();
    trackChanges();
    ovCmd(CmdEmpty);
}

// --- Controls and layout ---------------------------------------------------

void frmBill::createControls()
{
    const auto label = [this](const QString &text, const QString &name = QString()) {
        auto *l = new QLabel(text, this);
        l->setObjectName(name);
        return l;
    };
    const auto comboBox = [this](const QString &name, const QString &tag) {
        return MakeTypingCombo(this, name, tag);
    };
    const auto lineEdit = [this](const QString &name) {
        auto *e = new QLineEdit(this);
        e->setObjectName(name);
        return e;
    };
    const auto button = [this](const QString &name, const QString &text) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(name);
        return b;
    };

    // Creation order is the focus order: txtID first, so a reset puts the
    // focus there.
    m_txtID = lineEdit(QStringLiteral("txtID"));
    m_txtID->setReadOnly(true);
    m_txtID->setStyleSheet(QStringLiteral("QLineEdit { background: #E0E0E0; }"));
    m_cboClient = comboBox(QStringLiteral("cboClient"), QStringLiteral("data"));
    m_txtComment = lineEdit(QStringLiteral("txtComment"));
    m_dtpDate = new DTPicker(this);
    m_dtpDate->setObjectName(QStringLiteral("dtpDate"));
    m_dtpDate->setDisplayFormat(QStringLiteral("yy-MM-dd"));
    m_txtLink = lineEdit(QStringLiteral("txtLink"));

    m_grd = new OVGrid(this);
    m_grd->setObjectName(QStringLiteral("grd"));

    m_lblPi = label(QStringLiteral("0"), QStringLiteral("lblPi"));
    m_lblPi->setProperty("Tag", QStringLiteral("num"));
    m_lblQuantity = label(QStringLiteral("0"), QStringLiteral("lblQuantity"));
    m_lblQuantity->setProperty("Tag", QStringLiteral("num"));
    m_lblPrice = label(QStringLiteral("0.00"), QStringLiteral("lblPrice"));
    m_lblPrice->setProperty("Tag", QStringLiteral("cur"));

    m_cmdPrint = button(QStringLiteral("cmdPrint"), QStringLiteral("打印"));
    m_cmdNew = button(QStringLiteral("cmdNew"), QStringLiteral("新单"));
    m_cmdSave = button(QStringLiteral("cmdSave"), QStringLiteral("保存"));
    m_cmdDel = button(QStringLiteral("cmdDel"), QStringLiteral("删除"));

    m_nav = new OVNavigationBar(this);
    m_nav->setObjectName(QStringLiteral("nav"));
    for (int i = 0; i < 4; ++i)
        m_cboMan[i] = comboBox(QStringLiteral("cboMan%1").arg(i + 1), QStringLiteral("serv nodo"));

    m_grd->ReadProperties({{QStringLiteral("Cols"), BillCol::Count},
                           {QStringLiteral("Rows"), LineRows + 1},
                           {QStringLiteral("Editable"), true},
                           {QStringLiteral("AllowRowDelete"), true},
                           {QStringLiteral("RowHeightMin"), 555}});
    m_grd->setProperty("Tag", QStringLiteral("def9"));
    m_grd->setTipText(QStringLiteral("删除：双击行号   检索：双击编号 或 回车   清除数字：双击"));
}

void frmBill::placeControls()
{
    const double perTwip = logicalDpiX() / 1440.0;
    const auto px = [perTwip](int twips) { return qRound(twips * perTwip); };
    const auto place = [&px](QWidget *w, int left, int top, int width, int height) {
        w->setGeometry(px(left), px(top), px(width), px(height));
    };
    // A caption and its field, the caption at `left`.
    const auto labelled = [&](const QString &caption, QWidget *field, int left, int top,
                              int captionWidth, int fieldWidth) {
        auto *l = new QLabel(caption, this);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        place(l, left, top, captionWidth, FieldHeight);
        place(field, left + captionWidth, top, fieldWidth, FieldHeight);
    };

    setFixedSize(px(ClientWidth), px(ClientHeight));

    labelled(QStringLiteral("ID："), m_txtID, 240, 360, 480, 1740);
    labelled(QStringLiteral("客户："), m_cboClient, 3000, 360, 720, 3840);
    labelled(QStringLiteral("备注："), m_txtComment, 8040, 360, 720, 4515);
    labelled(QStringLiteral("日期："), m_dtpDate, 120, 1080, 600, 1740);
    labelled(QStringLiteral("联系："), m_txtLink, 3240, 1080, 600, 3600);

    const int buttonLefts[4] = {14880, 16560, 17400, 18240};
    QPushButton *const buttons[4] = {m_cmdPrint, m_cmdNew, m_cmdSave, m_cmdDel};
    for (int i = 0; i < 4; ++i)
        place(buttons[i], buttonLefts[i], ButtonTop, 735, 855);

    // Totals, right-aligned with the grid's right edge: figure, then unit.
    const struct { QLabel *figure; const char *unit; int width; } totals[3] = {
        {m_lblPi, "匹", 900}, {m_lblQuantity, "KG", 1300}, {m_lblPrice, "元", 1800}};
    int right = 240 + 18795;
    for (int i = 2; i >= 0; --i) {
        auto *unit = new QLabel(QString::fromUtf8(totals[i].unit), this);
        place(unit, right - 360, 1320, 360, FieldHeight);
        right -= 360 + 60;
        totals[i].figure->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        place(totals[i].figure, right - totals[i].width, 1320, totals[i].width, FieldHeight);
        right -= totals[i].width + 240;
    }

    place(m_grd, 240, 1800, 18795, 5415);
    place(m_nav, 240, 7560, 3015, 615);
    const int manTop = 7560 + (615 - FieldHeight) / 2;
    for (int i = 0; i < 4; ++i)
        labelled(QString::fromUtf8(ManLabels[i]), m_cboMan[i], 3600 + i * 3840, manTop, 960, 2400);
}

void frmBill::SetupGrid()
{
    using namespace BillCol;
    QList<GridColumn> columns(Count);
    columns[RowNo] = {.title = QStringLiteral("#"), .width = 700};
    columns[LineId].title = QStringLiteral("id");
    columns[Artno] = {.title = QStringLiteral("编号"), .width = 1600, .tag = QStringLiteral("txt"), .alignment = 4};
    columns[Product] = {.title = QStringLiteral("品名"), .width = 2200, .tag = QStringLiteral("cbo"), .alignment = 4};
    columns[Color] = {.title = QStringLiteral("色号"), .width = 1600, .tag = QStringLiteral("cbo"), .alignment = 4};
    for (int i = 0; i < PieceCount; ++i) {
        columns[Piece1 + i] = {.title = QString::number(i + 1), .width = 900, .tag = QStringLiteral("txt"),
                               .format = QStringLiteral("z")};
    }
    columns[Kg] = {.title = QStringLiteral("KG"), .width = 1000};
    columns[Price] = {.title = QStringLiteral("单价"), .width = 1000, .tag = QStringLiteral("txt"),
                      .format = QStringLiteral("0.00")};
    columns[Amount] = {.title = QStringLiteral("金额"), .width = 1500, .format = QStringLiteral("0.00")};
    columns[Pieces].title = QStringLiteral("匹");
    LayOutGrid(m_grd, columns);
    QString products, colors;
    RunGuarded([&] {
        products = ServValueList(QStringLiteral("product"));
        colors = ServValueList(QStringLiteral("color"));
    });
    m_grd->setListCombo(BillCol::Product, products);
    m_grd->setListCombo(BillCol::Color, colors);
}

void frmBill::connectEvents()
{
    connect(m_cmdPrint, &QPushButton::clicked, this, &frmBill::printBill);
    connect(m_cmdNew, &QPushButton::clicked, this, &frmBill::newBill);
    connect(m_cmdSave, &QPushButton::clicked, this, &frmBill::saveBill);
    connect(m_cmdDel, &QPushButton::clicked, this, &frmBill::deleteBill);
    connect(m_cboClient, &QComboBox::activated, this, &frmBill::pickClient);

    // Cancel and KeyCode are in/out: every handler is called directly.
    constexpr auto direct = Qt::DirectConnection;
    connect(m_grd, &OVGrid::BeforeEdit, this, &frmBill::beforeEdit, direct);
    connect(m_grd, &OVGrid::ValidateEdit, this, &frmBill::validateEdit, direct);
    connect(m_grd, &OVGrid::AfterEdit, this, &frmBill::afterEdit, direct);
    connect(m_grd, &OVGrid::KeyDownEdit, this, &frmBill::keyDownEdit, direct);
    connect(m_grd, &OVGrid::ModalForm, this, &frmBill::modalForm, direct);
    connect(m_grd, &OVGrid::BeforeRowDelete, this, &frmBill::beforeRowDelete, direct);
    connect(m_grd, &OVGrid::AfterRowDelete, this, &frmBill::afterRowDelete, direct);

    connect(m_nav, &OVNavigationBar::Allow, this, [this](bool &Cancel) { Cancel = ovSaveYN(); }, direct);
    connect(m_nav, &OVNavigationBar::CheckExistID, this,
            [this](int ID, bool &Cancel) {
                // Only a bill that is really gone leaves the bar; one that
                // cannot be checked stays, and is shown empty.
                bool exists = false;
                const bool checked = RunGuarded([&] { exists = BillStore::exists(ID); });
                m_uncheckedId = checked ? 0 : ID;
                Cancel = checked && !exists;
            },
            direct);
    connect(m_nav, &OVNavigationBar::OutputID, this,
            [this](int ID) {
                if (ID != 0 && ID == std::exchange(m_uncheckedId, 0))
                    ClearForm(this);
                else
                    OnNavOutputID(this, ID);
            },
            direct);

    // The header keys are filtered before the fields see them; the grid and
    // its editors are not watched, so Enter keeps moving through the lines.
    QList<QWidget *> header{m_txtID, m_txtLink, m_txtComment, m_cboClient};
    header.append(m_dtpDate->dateEdit());
    for (QComboBox *combo : m_cboMan)
        header.append(combo);
    for (QWidget *w : std::as_const(header)) {
        w->installEventFilter(this);
        if (auto *combo = qobject_cast<QComboBox *>(w))
            combo->lineEdit()->installEventFilter(this);
    }
}

void frmBill::trackChanges()
{
    const auto changed = [this] { ovCmd(CmdChanged); };
    connect(m_cboClient, &QComboBox::editTextChanged, this, changed);
    for (QComboBox *combo : m_cboMan) {
        connect(combo, &QComboBox::editTextChanged, this, changed);
        connect(combo, &QComboBox::activated, this, changed);
    }
    connect(m_txtLink, &QLineEdit::textChanged, this, changed);
    connect(m_txtComment, &QLineEdit::textChanged, this, changed);
    connect(m_dtpDate, &DTPicker::valueChanged, this, changed);
}

bool frmBill::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && IsFilteredKey(static_cast<QKeyEvent *>(event)))
        return true;
    return RecordWindow::eventFilter(watched, event);
}

// --- Record-window operations ----------------------------------------------

bool frmBill::ovRst(int ID)
{
    const bool loaded = RunGuarded([&] {
        const BillHeader header = BillStore::loadHeader(ID);
        QSqlQuery lines = ExecSql(BillStore::lineQuery(), {ID});
        showHeader(header);
        m_grd->setRows(1);
        m_grd->BindRst(lines);
        // A read that breaks off part way must not pass for the whole bill.
        if (lines.lastError().isValid())
            throw DbError(lines.lastError());
        if (m_grd->LoadBrokenOff())
            throw DbError(QStringLiteral("读取单据明细中断"));
    });
    if (!loaded) {
        // Never another bill's header over missing lines: the window is
        // emptied, and nothing can be printed or deleted from it.
        ClearForm(this);
        return false;
    }
    PadGridRows();
    return true;
}

void frmBill::ovTotal()
{
    m_lblQuantity->setText(GridColumnSumText(m_grd, BillCol::Kg));
    m_lblPrice->setText(GridColumnSumText(m_grd, BillCol::Amount, QStringLiteral("0.00")));
    m_lblPi->setText(GridColumnSumText(m_grd, BillCol::Pieces));
}

void frmBill::ovCmd(int intStep)
{
    switch (intStep) {
    case CmdEmpty:
        m_cmdSave->setEnabled(false);
        m_cmdDel->setEnabled(false);
        m_cmdPrint->setEnabled(false);
        break;
    case CmdChanged:
        if (!m_cmdSave->isEnabled())
            m_cmdSave->setEnabled(true);
        if (m_cmdPrint->isEnabled())
            m_cmdPrint->setEnabled(false);
        break;
    case CmdStored:
        m_cmdSave->setEnabled(false);
        m_cmdDel->setEnabled(true);
        m_cmdPrint->setEnabled(true);
        break;
    default:
        break;
    }
}

bool frmBill::ovSaveYN()
{
    if (!m_cmdSave->isEnabled())
        return false;
    return MsgBox(QStringLiteral("数据已更新，放弃保存？"), MsgButtons::YesNo, MsgIcon::Question)
        == MsgAnswer::No;
}

void frmBill::ovModalForm(const QString &str)
{
    const int row = m_grd->Row();
    m_artnoBeforeEdit = cell(row, BillCol::Artno);
    m_grd->setTextMatrix(row, BillCol::Artno, str);
    afterEdit(row, BillCol::Artno);
    m_grd->setCol(BillCol::Piece1);
}

// --- Header ----------------------------------------------------------------

void frmBill::pickClient()
{
    ovCmd(CmdChanged);
    QString link;
    RunGuarded([&] {
        link = LookupValue(QStringLiteral("link"), QStringLiteral("client"),
                           {QStringLiteral("client=?"), {m_cboClient->currentText()}}, NullAsEmptyText)
                   .toString();
    });
    m_txtLink->setText(link);
}

void frmBill::showHeader(const BillHeader &header)
{
    m_txtID->setText(header.id != 0 ? QString::number(header.id) : QString());
    setComboText(m_cboClient, header.client);
    m_txtLink->setText(header.link);
    m_dtpDate->setValue(header.date);
    for (int i = 0; i < 4; ++i)
        setComboText(m_cboMan[i], header.man[i]);
    m_txtComment->setText(header.comment);
}

BillHeader frmBill::headerOfForm() const
{
    BillHeader header;
    header.id = m_txtID->text().toInt();
    header.client = CleanText(m_cboClient->currentText());
    header.link = CleanText(m_txtLink->text());
    header.date = m_dtpDate->value().toDate();
    for (int i = 0; i < 4; ++i)
        header.man[i] = CleanText(m_cboMan[i]->currentText());
    header.comment = CleanText(m_txtComment->text());
    return header;
}

// --- Buttons and closing ---------------------------------------------------

void frmBill::saveBill()
{
    commitOpenEdit();
    SavedBill saved;
    if (!RunGuarded([&] { saved = BillStore::save(headerOfForm(), markedLines()); }))
        return; // nothing was stored: the form keeps its marks and ids for the next try
    m_txtID->setText(QString::number(saved.id));
    for (const auto &[row, lineId] : std::as_const(saved.lineIds)) {
        m_grd->setTextMatrix(row, BillCol::LineId, QString::number(lineId));
        m_grd->setTextMatrix(row, BillCol::Mark, QString());
    }
    m_nav->Navigate(OVNavigationBar::ovNBSave, saved.id);
    ovCmd(CmdStored);
}

// The bill as the window shows it; only a stored bill (state 2) prints.
void frmBill::printBill()
{
    PrintedBill bill;
    bill.client = m_cboClient->currentText();
    bill.contact = m_txtLink->text();
    bill.date = m_dtpDate->value().toDate();
    bill.id = m_txtID->text().toInt();
    for (int row = 1; row < m_grd->Rows(); ++row) {
        PrintedBillLine line;
        line.artno = cell(row, BillCol::Artno);
        line.product = cell(row, BillCol::Product);
        line.color = cell(row, BillCol::Color);
        for (int i = 0; i < BillCol::PieceCount; ++i)
            line.pieces[i] = cell(row, BillCol::Piece1 + i);
        line.kg = cell(row, BillCol::Kg);
        line.price = cell(row, BillCol::Price);
        line.amount = cell(row, BillCol::Amount);
        line.pieceCount = cell(row, BillCol::Pieces);
        bill.lines.append(line);
    }
    bill.totalPieces = m_lblPi->text();
    bill.totalKg = m_lblQuantity->text();
    bill.totalAmount = m_lblPrice->text();
    for (int i = 0; i < 4; ++i)
        bill.staff[i] = m_cboMan[i]->currentText();
    PrintBill(bill);
}

void frmBill::newBill()
{
    if (!ovSaveYN())
        m_nav->Navigate(OVNavigationBar::ovNBNew);
}

void frmBill::deleteBill()
{
    if (MsgBox(QStringLiteral("删除本单？"), MsgButtons::YesNo, MsgIcon::Question) != MsgAnswer::Yes)
        return;
    const qint32 id = m_txtID->text().toInt();
    if (RunGuarded([id] { BillStore::deleteBill(id); }))
        m_nav->Navigate(OVNavigationBar::ovNBDelete);
}

void frmBill::closeEvent(QCloseEvent *event)
{
    commitOpenEdit();
    if (m_cmdSave->isEnabled()
        && MsgBox(QStringLiteral("数据未保存，关闭窗口？"), MsgButtons::YesNo, MsgIcon::Question)
               == MsgAnswer::No) {
        event->ignore();
        return;
    }
    event->accept();
    if (QWidget *query = FindForm(QStringLiteral("frmQuery")))
        query->show();
    else
        ShowMainMenu();
}

void frmBill::commitOpenEdit()
{
    // The grid stores an open edit when the focus leaves it for another
    // control of the window.
    QWidget *focus = focusWidget();
    if (focus && m_grd->isAncestorOf(focus))
        m_txtID->setFocus(Qt::OtherFocusReason);
}

// --- Lines -----------------------------------------------------------------

QString frmBill::cell(int row, int col) const
{
    return m_grd->TextMatrix(row, col);
}

void frmBill::beforeEdit(int Row, int Col, bool &Cancel)
{
    const QString above = Row > 1 ? cell(Row - 1, BillCol::Artno) : QString();
    if (!BillLineRules::mayEdit(Row, Col, cell(Row, BillCol::Artno), above))
        Cancel = true;
    else if (Col == BillCol::Artno)
        m_artnoBeforeEdit = cell(Row, Col);
}

void frmBill::validateEdit(int Row, int Col, bool &Cancel)
{
    const bool kept = !cell(Row, BillCol::LineId).isEmpty() || !cell(Row, BillCol::Mark).isEmpty();
    const BillLineRules::CellCheck check = BillLineRules::checkCell(Col, m_grd->EditText(), kept);
    m_grd->setEditText(check.text);
    if (!check.message.isEmpty()) {
        ShowRowMessage(Row, check.message);
        Cancel = true;
    }
}

void frmBill::afterEdit(int Row, int Col)
{
    if (Col == BillCol::Artno && !LookupArticle(Row)) {
        // The edit ends as if it had not happened: the line keeps its
        // article and nothing is marked.
        m_grd->setTextMatrix(Row, Col, m_artnoBeforeEdit);
        return;
    }
    if (Col == BillCol::Product || Col == BillCol::Color) {
        // A drop-down's text reaches the cell uncleaned.
        const QString text = CleanText(cell(Row, Col));
        m_grd->setTextMatrix(Row, Col, text);
        m_grd->AddCboList(Col, text);
    }
    if (Col == BillCol::Piece1 && Row > 1 && cell(Row, BillCol::Artno).isEmpty()) {
        // A continuation line: the article goes on from the row above.
        for (int c : {int(BillCol::Artno), int(BillCol::Product), int(BillCol::Color), int(BillCol::Price)})
            m_grd->setTextMatrix(Row, c, cell(Row - 1, c));
    }
    if (Col == BillCol::Artno || Col >= BillCol::Piece1)
        ComputeLine(Row);
    m_grd->setTextMatrix(Row, BillCol::Mark, QStringLiteral("0"));
    ovTotal();
    ovCmd(CmdChanged);
}

void frmBill::keyDownEdit(int Row, int Col, short &KeyCode, short)
{
    if (KeyCode != 13)
        return;
    const BillLineRules::Cell next = BillLineRules::nextOnEnter(Row, Col);
    if (next.row >= m_grd->Rows() && !cell(Row, BillCol::Artno).isEmpty())
        m_grd->AddItem(QString()); // a bill longer than the empty lines goes on
    m_grd->setRow(next.row);
    m_grd->setCol(next.col);
}

void frmBill::modalForm(int Row, int Col, bool &Cancel)
{
    if (Col == BillCol::Artno) {
        Cancel = true;
        openArticlePicker();
    } else if (Col >= BillCol::Piece1 && Col <= BillCol::Piece10 && !cell(Row, Col).isEmpty()) {
        Cancel = true;
        m_grd->setTextMatrix(Row, Col, QStringLiteral("0"));
        m_grd->setTextMatrix(Row, BillCol::Mark, QStringLiteral("0"));
        ComputeLine(Row);
        ovTotal();
        ovCmd(CmdChanged);
    }
}

void frmBill::openArticlePicker()
{
    // The picker hands its choice back through ovModalForm before exec returns.
    frmSearchArtno picker(this);
    picker.exec();
}

void frmBill::beforeRowDelete(int Row, bool &Cancel)
{
    if (MsgBox(QStringLiteral("删除？"), MsgButtons::YesNo, MsgIcon::Question) != MsgAnswer::Yes) {
        Cancel = true;
        return;
    }
    const qint32 lineId = cell(Row, BillCol::LineId).toInt();
    if (lineId == 0)
        return;
    // A stored line goes at once, with its bill's totals; when that fails
    // the row stays, so the grid never hides a line that is still stored.
    if (!RunGuarded([&] { BillStore::deleteLine(m_txtID->text().toInt(), lineId); }))
        Cancel = true;
}

void frmBill::afterRowDelete()
{
    ovTotal();
    PadGridRows();
}

bool frmBill::LookupArticle(int Row)
{
    std::optional<ArticleDefaults> article;
    if (!RunGuarded([&] { article = BillStore::article(cell(Row, BillCol::Artno)); }))
        return false;
    // An article number not in the list is kept, with no product or colour
    // and a zero price, to be filled in by hand.
    const ArticleDefaults found = article.value_or(ArticleDefaults{});
    m_grd->setTextMatrix(Row, BillCol::Product, found.product);
    m_grd->setTextMatrix(Row, BillCol::Color, found.color);
    m_grd->setTextMatrix(Row, BillCol::Price, article ? QString::number(found.price, 'f', 4) : QStringLiteral("0"));
    return true;
}

void frmBill::ComputeLine(int Row)
{
    using namespace BillLineRules;
    const OVCurrency kg = m_grd->Aggregate(OVGrid::ovSTSum, Row, BillCol::Piece1, Row, BillCol::Piece10);
    m_grd->setTextMatrix(Row, BillCol::Kg, kgText(kg));
    m_grd->setTextMatrix(Row, BillCol::Amount, amountText(kg, cell(Row, BillCol::Price)));
    const OVCurrency count = m_grd->Aggregate(OVGrid::ovSTCount, Row, BillCol::Piece1, Row, BillCol::Piece10);
    m_grd->setTextMatrix(Row, BillCol::Pieces, countText(count));
}

void frmBill::PadGridRows()
{
    while (m_grd->Rows() < LineRows + 1)
        m_grd->AddItem(QString());
}

QList<BillLine> frmBill::markedLines() const
{
    QList<BillLine> lines;
    for (int row = 1; row < m_grd->Rows(); ++row) {
        if (!cell(row, BillCol::Mark).isEmpty())
            lines.append(BillLineRules::lineOfRow(row, [this, row](int col) { return cell(row, col); }));
    }
    return lines;
}
