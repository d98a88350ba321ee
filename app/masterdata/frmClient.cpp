#include "frmClient.h"

#include "shared/forms/GridLayout.h"
#include "shared/data/SearchCode.h"
#include "shared/data/ListKeys.h"

#include <OVGrid.h>

namespace {
enum Column { ColClient = ListForm::KeyCol, ColLink };
}

frmClient::frmClient(QWidget *parent)
    : ListForm(QStringLiteral("frmClient"), QStringLiteral("客户"), QStringLiteral("client"), parent)
{
    grid()->setCols(4);
    grid()->setAllowSort(true);
    grid()->setWordWrap(true);
    grid()->setTipText(QStringLiteral("删除：双击行号   排序：单击标题"));
    resize(580, 520);
    SetupGrid();
    LoadList();
}

void frmClient::SetupGrid()
{
    QList<GridColumn> columns(ColLink + 1);
    columns[0] = {.title = QStringLiteral("#"), .width = 700};
    columns[IdCol].title = QStringLiteral("id");
    columns[ColClient] = {.title = QStringLiteral("客户"), .width = 2500, .tag = QStringLiteral("txt"), .alignment = 1,
                          .wordWrap = true};
    columns[ColLink] = {.title = QStringLiteral("联系"), .width = 5000, .tag = QStringLiteral("txt"), .alignment = 1,
                        .wordWrap = true};
    LayOutGrid(grid(), columns);
}

void frmClient::LoadList()
{
    loadRows(QStringLiteral("select id, client, link from client order by ") + ListOrderBy(QStringLiteral("client")));
}

QString frmClient::SearchCodeOf(const QString &client)
{
    const QString code = MakeSearchCode(client);
    return code.size() == 1 ? code + code : code;
}

void frmClient::SaveRow(int Row)
{
    const OVGrid *grd = grid();
    const QString client = grd->TextMatrix(Row, ColClient);
    storeRow(Row, {{QStringLiteral("client"), client},
                   {QStringLiteral("query"), SearchCodeOf(client)},
                   {QStringLiteral("link"), grd->TextMatrix(Row, ColLink)}});
}

void frmClient::validateEdit(int row, int col, bool &cancel)
{
    if (col == ColClient) {
        checkKeyText(row, QStringLiteral("客户？"),
                     [](const QString &text, qint32 id) {
                         return SqlCondition{QStringLiteral("id<>? and client=?"), {id, text}};
                     },
                     cancel);
        return;
    }
    cleanEditText();
}

void frmClient::afterEdit(int row, int col)
{
    if (col == ColClient)
        grid()->AutoLastRow();
    SaveRow(row);
}
