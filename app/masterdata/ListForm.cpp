#include "ListForm.h"

#include "shared/data/DbError.h"
#include "shared/base/MessageBox.h"
#include "shared/base/TextRules.h"
#include "shared/data/Database.h"
#include "shared/forms/Windows.h"

#include <OVGrid.h>

#include <QCloseEvent>
#include <QSqlQuery>
#include <QVBoxLayout>

ListForm::ListForm(const QString &formName, const QString &caption, const QString &table,
                   QWidget *parent)
    : QWidget(parent)
    , m_grid(new OVGrid(this))
    , m_table(table)
{
    setObjectName(formName);
    setWindowTitle(caption);
    setAttribute(Qt::WA_DeleteOnClose);

    m_grid->setObjectName(QStringLiteral("grd"));
    m_grid->setEditable(true);
    m_grid->setAllowRowDelete(true);
    m_grid->setRowHeightMin(420);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_grid);

    connect(m_grid, &OVGrid::BeforeEdit, this, &ListForm::beforeEdit, Qt::DirectConnection);
    connect(m_grid, &OVGrid::ValidateEdit, this, &ListForm::validateEdit, Qt::DirectConnection);
    connect(m_grid, &OVGrid::AfterEdit, this, &ListForm::afterEdit, Qt::DirectConnection);
    connect(m_grid, &OVGrid::KeyDownEdit, this, &ListForm::keyDownEdit, Qt::DirectConnection);
    connect(m_grid, &OVGrid::BeforeRowDelete, this, &ListForm::beforeRowDelete,
            Qt::DirectConnection);
}

void ListForm::loadRows(const QString &sql, const QVariantList &values)
{
    m_grid->setRows(1);
    RunGuarded([&] {
        QSqlQuery rst = ExecSql(sql, values);
        m_grid->BindRst(rst);
    });
    m_grid->AddItem(QStringLiteral("*"));
}

qint32 ListForm::rowId(int row) const
{
    return m_grid->TextMatrix(row, IdCol).toInt();
}

bool ListForm::isEntryRow(int row) const
{
    return row == m_grid->Rows() - 1;
}

bool ListForm::checkKeyText(int row, const QString &emptyMessage,
                            const std::function<SqlCondition(const QString &, qint32)> &duplicate,
                            bool &cancel)
{
    const QString text = CleanText(m_grid->EditText());
    m_grid->setEditText(text);
    if (text.isEmpty()) {
        if (isEntryRow(row))
            cancel = true;
        else
            refuse(row, emptyMessage, cancel);
        return false;
    }
    bool found = false;
    const bool ran = RunGuarded([&] { found = RowExists(m_table, duplicate(text, rowId(row))); });
    if (!ran) {
        // The check could not run: keep the old text rather than store blind.
        cancel = true;
        return false;
    }
    if (found) {
        refuse(row, text + QStringLiteral(" 已经存在！"), cancel);
        return false;
    }
    return true;
}

void ListForm::refuse(int row, const QString &text, bool &cancel)
{
    ShowRowMessage(row, text);
    cancel = true;
}

void ListForm::storeRow(int row, const RecordValues &values)
{
    qint32 id = 0;
    if (RunGuarded([&] { id = StoreRecord(m_table, rowId(row), values); }))
        m_grid->setTextMatrix(row, IdCol, QString::number(id));
}

void ListForm::beforeEdit(int row, int col, bool &cancel)
{
    // A new record starts with its key column.
    if (isEntryRow(row) && col != 2)
        cancel = true;
}

void ListForm::beforeRowDelete(int row, bool &cancel)
{
    if (MsgBox(QStringLiteral("删除？"), MsgButtons::YesNo, MsgIcon::Question) == MsgAnswer::No) {
        cancel = true;
        return;
    }
    // When the delete fails the row stays, so the grid never shows a record
    // gone that is still stored.
    if (!RunGuarded([&] { DeleteById(m_table, rowId(row)); }))
        cancel = true;
}

void ListForm::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        ShowMainMenu();
}
