#include "frmServ.h"

#include "shared/forms/GridLayout.h"
#include "shared/data/NameLists.h"
#include "shared/data/TextOrder.h"
#include "shared/forms/ComboFill.h"

#include <OVGrid.h>

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr int ColValue = ListForm::KeyCol;
}

frmServ::frmServ(QWidget *parent)
    : ListForm(QStringLiteral("frmServ"), QStringLiteral("可选项"), QStringLiteral("serv"), parent)
    , m_cboServ(new QComboBox(this))
{
    grid()->setCols(3);
    grid()->setTipText(QStringLiteral("删除：双击行号"));
    resize(240, 520);

    auto *label = new QLabel(QStringLiteral("可选项："), this);
    label->setObjectName(QStringLiteral("Label1"));
    m_cboServ->setObjectName(QStringLiteral("cboServ"));
    m_cboServ->setEditable(false);
    auto *top = new QHBoxLayout;
    top->setContentsMargins(6, 6, 6, 6);
    top->addWidget(label);
    top->addWidget(m_cboServ, 1);
    static_cast<QVBoxLayout *>(layout())->insertLayout(0, top);

    SetupGrid();
    // Every choice reloads, the same list too: that shows values other
    // windows added since, in order.
    connect(m_cboServ, &QComboBox::activated, this, &frmServ::listChosen);
    FillFieldCaptionCombo(m_cboServ, true);
    listChosen();
}

void frmServ::SetupGrid()
{
    QList<GridColumn> columns(ColValue + 1);
    columns[0] = {.title = QStringLiteral("#"), .width = 700};
    columns[IdCol].title = QStringLiteral("id");
    columns[ColValue] = {.width = 2100, .tag = QStringLiteral("txt"), .alignment = 1};
    LayOutGrid(grid(), columns);
}

QString frmServ::currentField() const
{
    return FieldNames().value(m_cboServ->currentIndex());
}

QString frmServ::currentCaption() const
{
    return FieldCaptions().value(m_cboServ->currentIndex());
}

void frmServ::listChosen()
{
    grid()->setTextMatrix(0, ColValue, currentCaption());
    LoadList();
}

void frmServ::LoadList()
{
    loadRows(QStringLiteral("select id, value from serv where field=? order by ") + TextOrderBy({QStringLiteral("value")}),
             {currentField()});
}

void frmServ::SaveRow(int Row)
{
    storeRow(Row, {{QStringLiteral("field"), currentField()},
                   {QStringLiteral("value"), grid()->TextMatrix(Row, ColValue)}});
}

void frmServ::validateEdit(int row, int col, bool &cancel)
{
    if (col != ColValue)
        return;
    const QString field = currentField();
    checkKeyText(row, currentCaption() + QStringLiteral("？"),
                 [&field](const QString &text, qint32 id) {
                     return SqlCondition{QStringLiteral("id<>? and value=? and field=?"),
                                         {id, text, field}};
                 },
                 cancel);
}

void frmServ::afterEdit(int row, int)
{
    grid()->AutoLastRow();
    SaveRow(row);
}
