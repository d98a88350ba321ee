#include "frmSearchArtno.h"

#include "shared/forms/MessageBox.h"
#include "shared/base/TextRules.h"
#include "shared/data/DataAccess.h"
#include "shared/data/DbError.h"
#include "shared/data/TextOrder.h"
#include "shared/forms/GridWindow.h"
#include "shared/forms/RecordForm.h"
#include "shared/forms/KeyFilter.h"

#include <OVGrid.h>

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

enum Column { ColId = 1, ColArtno, ColProduct, ColColor, ColPrice, ColCount };

const QString Caption = QStringLiteral("检索");

// The list's collation is not the artno index's, so SQLite scans the table
// and sorts the few that match rather than walking the whole index in order
// (12 times slower, bench_picker).
QString articleSearchSql()
{
    return QStringLiteral("select id, artno, product, color, price from artno where query like ? order by ")
        + TextOrderBy({QStringLiteral("artno"), QStringLiteral("product"), QStringLiteral("color")});
}

} // namespace

frmSearchArtno::frmSearchArtno(QWidget *owner)
    : QDialog(owner)
    , m_owner(owner)
    , m_label(new QLabel(QStringLiteral("查询码："), this))
    , m_query(new QLineEdit(this))
    , m_grid(new OVGrid(this))
{
    setObjectName(QStringLiteral("frmSearchArtno"));
    setWindowTitle(Caption);
    setModal(true);

    m_label->setObjectName(QStringLiteral("Label1"));
    m_query->setObjectName(QStringLiteral("txtQuery"));
    m_query->setToolTip(QStringLiteral("选择：↓键   确认：Enter键   关闭：Esc键"));
    m_query->installEventFilter(this);
    connect(m_query, &QLineEdit::textChanged, this, &frmSearchArtno::queryChanged);

    m_grid->setObjectName(QStringLiteral("grd"));
    m_grid->setCols(ColCount);
    m_grid->setCurrentRowMode(OVGrid::ovCRFontBold);
    m_grid->setRowHeightMin(420);
    m_grid->setWordWrap(true);
    m_grid->setTipText(QStringLiteral("确认：双击表格"));
    m_grid->setRows(1);
    connect(m_grid, &OVGrid::DblClick, this, [this] {
        if (m_grid->Row() >= 1)
            ConfirmArticle();
    });

    auto *row = new QHBoxLayout;
    row->addWidget(m_label);
    row->addWidget(m_query, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(m_grid, 1);
    resize(460, 400);

    SetupGrid();
    m_query->setFocus();
}

void frmSearchArtno::SetupGrid()
{
    m_grid->setListWidth(QStringLiteral("700|0|1300|1800|1300|1000"));
    m_grid->setListTitle(QStringLiteral("#|ID|编号|品名|色号|单价"));
    m_grid->setListFormat(QStringLiteral("5;0.00"));
    m_grid->setListAlignment(QStringLiteral("2;4|3|4"));
}

void frmSearchArtno::queryChanged(const QString &text)
{
    if (CleanText(text).isEmpty()) {
        m_grid->setRows(1);
        setWindowTitle(Caption);
        return;
    }
    SearchArticles();
}

void frmSearchArtno::SearchArticles()
{
    // "%" and "_" typed by the user keep their wildcard meaning.
    const QString pattern = QLatin1Char('%') + CleanText(m_query->text()) + QLatin1Char('%');
    const bool loaded = LoadGridRows(m_grid, articleSearchSql(), {pattern});
    setWindowTitle(loaded ? Caption + QStringLiteral(" - ") + QString::number(m_grid->Rows() - 1) : Caption);
}

void frmSearchArtno::ConfirmArticle()
{
    const int row = m_grid->Row();
    const QString artno = m_grid->TextMatrix(row, ColArtno);
    bool exists = false;
    if (!RunGuarded([&] {
            exists = RowExists(QStringLiteral("artno"), {QStringLiteral("artno=?"), {artno}});
        }))
        return;
    if (!exists) {
        MsgBox(QStringLiteral("第 ") + QString::number(row) + QStringLiteral(" 行：") + artno
                   + QStringLiteral("\r\n\r\n已删除！"),
               MsgButtons::Ok, MsgIcon::None);
        return;
    }
    // The owner continues with the choice as its own window again, so the
    // picker goes first.
    const QPointer<QWidget> owner = m_owner ? m_owner->window() : nullptr;
    accept();
    CallOvModalForm(owner, artno);
}

bool frmSearchArtno::steerList(int key)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_grid->Row() >= 1)
            ConfirmArticle();
        return true;
    case Qt::Key_Escape:
        reject();
        return true;
    case Qt::Key_Up:
        if (m_grid->Row() >= 2)
            m_grid->RowVisible(m_grid->Row() - 1);
        return true;
    case Qt::Key_Down:
        // Past the last row the grid ignores the request.
        m_grid->RowVisible(m_grid->Row() + 1);
        return true;
    default:
        return false;
    }
}

bool frmSearchArtno::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_query || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
        if (steerList(key->key()))
            return true;
    }
    return IsFilteredKey(key);
}
