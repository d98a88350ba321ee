#include "frmArtno.h"

#include "shared/forms/GridLayout.h"
#include "shared/data/DbError.h"
#include "shared/data/SearchCode.h"
#include "shared/data/ListKeys.h"
#include "shared/base/TextRules.h"
#include "shared/forms/MessageBox.h"

#include <OVGrid.h>
#include <OVNumber.h>

namespace {
enum Column { ColArtno = ListForm::KeyCol, ColProduct, ColColor, ColPrice };
}

frmArtno::frmArtno(QWidget *parent)
    : ListForm(QStringLiteral("frmArtno"), QStringLiteral("编号"), QStringLiteral("artno"), parent)
{
    grid()->setCols(6);
    grid()->setAllowSort(true);
    grid()->setTipText(QStringLiteral("删除：双击行号   排序：单击标题"));
    resize(450, 520);
    SetupGrid();
    LoadList();
}

void frmArtno::SetupGrid()
{
    OVGrid *grd = grid();
    QList<GridColumn> columns(ColPrice + 1);
    columns[0] = {.title = QStringLiteral("#"), .width = 700};
    columns[IdCol].title = QStringLiteral("ID");
    columns[ColArtno] = {.title = QStringLiteral("编号"), .width = 1300, .tag = QStringLiteral("txt"), .alignment = 4};
    columns[ColProduct] = {.title = QStringLiteral("品名"), .width = 1800, .tag = QStringLiteral("cbo"), .alignment = 4};
    columns[ColColor] = {.title = QStringLiteral("色号"), .width = 1300, .tag = QStringLiteral("cbo"), .alignment = 4};
    columns[ColPrice] = {.title = QStringLiteral("单价"), .width = 1000, .tag = QStringLiteral("txt"),
                         .format = QStringLiteral("0.00"), .defaultText = QStringLiteral("0")};
    LayOutGrid(grd, columns);
    QString products, colors;
    RunGuarded([&] {
        products = ServValueList(QStringLiteral("product"));
        colors = ServValueList(QStringLiteral("color"));
    });
    grd->setListCombo(ColProduct, products);
    grd->setListCombo(ColColor, colors);
}

void frmArtno::LoadList()
{
    loadRows(QStringLiteral("select id, artno, product, color, price from artno order by ")
             + ListOrderBy(QStringLiteral("artno")));
}

QString frmArtno::SearchCodeOf(const QString &artno, const QString &product, const QString &color)
{
    return MakeSearchCode(artno) + QLatin1Char(' ') + MakeSearchCode(product) + QLatin1Char(' ')
        + MakeSearchCode(color);
}

void frmArtno::SaveRow(int Row)
{
    const OVGrid *grd = grid();
    const QString artno = grd->TextMatrix(Row, ColArtno);
    const QString product = CleanText(grd->TextMatrix(Row, ColProduct));
    const QString color = CleanText(grd->TextMatrix(Row, ColColor));
    // An empty price cell (a row typed before the column had its default)
    // stores 0 rather than Null.
    const double price = ovReadNumber(grd->TextMatrix(Row, ColPrice)).value_or(0.0);
    storeRow(Row, {{QStringLiteral("artno"), artno},
                   {QStringLiteral("product"), product},
                   {QStringLiteral("color"), color},
                   {QStringLiteral("price"), price},
                   {QStringLiteral("query"), SearchCodeOf(artno, product, color)}});
}

void frmArtno::validateEdit(int row, int col, bool &cancel)
{
    if (col == ColArtno) {
        checkKeyText(row, QStringLiteral("编号？"),
                     [](const QString &text, qint32 id) {
                         return SqlCondition{QStringLiteral("id<>? and artno=?"), {id, text}};
                     },
                     cancel);
        return;
    }
    const QString text = cleanEditText();
    if (col == ColPrice) {
        // Written back as read ("１２" → "12"), so the cell and the store agree.
        const QString number = ovNumberText(text);
        if (number.isEmpty())
            refuse(row, text + QStringLiteral(" 数字格式！"), cancel);
        else
            grid()->setEditText(number);
    }
}

void frmArtno::afterEdit(int row, int col)
{
    OVGrid *grd = grid();
    if (col == ColArtno)
        grd->AutoLastRow();
    else if (col == ColProduct || col == ColColor)
        grd->AddCboList(col, grd->Text());
    SaveRow(row);
}
