#include "ListForm.h"

#include "shared/forms/MessageBox.h"
#include "shared/base/TextRules.h"
#include "shared/data/DbError.h"

#include <OVGrid.h>

ListForm::ListForm(const QString &formName, const QString &caption, const QString &table,
                   QWidget *parent)
    : GridWindow(formName, caption, parent)
    , m_table(table)
{
    OVGrid *grd = grid();
    grd->setEditable(true);
    grd->setAllowRowDelete(true);
    grd->setRowHeightMin(420);

    connect(grd, &OVGrid::BeforeEdit, this, &ListForm::beforeEdit, Qt::DirectConnection);
    connect(grd, &OVGrid::ValidateEdit, this, &ListForm::validateEdit, Qt::DirectConnection);
    connect(grd, &OVGrid::AfterEdit, this, &ListForm::afterEdit, Qt::DirectConnection);
    connect(grd, &OVGrid::KeyDownEdit, this, &ListForm::keyDownEdit, Qt::DirectConnection);
    connect(grd, &OVGrid::BeforeRowDelete, this, &ListForm::beforeRowDelete, Qt::DirectConnection);
}

void ListForm::loadRows(const QString &sql, const QVariantList &values)
{
    if (GridWindow::loadRows(sql, values))
        grid()->AddItem(QStringLiteral("*"));
}

bool ListForm::isEntryRow(int row) const
{
    return row == grid()->Rows() - 1
        && grid()->TextMatrix(row, 0) == QLatin1String("*");
}

QString ListForm::cleanEditText()
{
    const QString text = CleanText(grid()->EditText());
    grid()->setEditText(text);
    return text;
}

bool ListForm::checkKeyText(int row, const QString &emptyMessage,
                            const std::function<SqlCondition(const QString &, qint32)> &duplicate,
                            bool &cancel)
{
    const QString text = cleanEditText();
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
        grid()->setTextMatrix(row, IdCol, QString::number(id));
}

void ListForm::beforeEdit(int row, int col, bool &cancel)
{
    if (isEntryRow(row) && col != KeyCol)
        cancel = true;
}

void ListForm::keyDownEdit(int row, int col, short &keyCode, short)
{
    if (keyCode != 13)
        return;
    OVGrid *grd = grid();
    if (col < grd->Cols() - 1) {
        grd->setCol(col + 1);
    } else {
        grd->setRow(row + 1);
        grd->setCol(KeyCol);
    }
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
