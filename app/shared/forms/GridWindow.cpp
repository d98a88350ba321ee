#include "GridWindow.h"

#include "Windows.h"
#include "shared/data/DataAccess.h"
#include "shared/data/DbError.h"
#include "shared/forms/MessageBox.h"

#include <OVGrid.h>

#include <QCloseEvent>
#include <QSqlQuery>
#include <QVBoxLayout>

bool LoadGridRows(OVGrid *grid, const QString &sql, const QVariantList &values)
{
    grid->setRows(1);
    const bool loaded = RunGuarded([&] {
        QSqlQuery rst = ExecSql(sql, values);
        grid->BindRst(rst);
    });
    if (!loaded)
        grid->setRows(1);
    return loaded;
}

qint32 GridRowId(const OVGrid *grid, int row, int idCol)
{
    return grid->TextMatrix(row, idCol).toInt();
}

GridWindow::GridWindow(const QString &formName, const QString &caption, QWidget *parent)
    : QWidget(parent)
    , m_grid(new OVGrid(this))
{
    setObjectName(formName);
    setWindowTitle(caption);
    setAttribute(Qt::WA_DeleteOnClose);

    m_grid->setObjectName(QStringLiteral("grd"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_grid);
}

bool GridWindow::loadRows(const QString &sql, const QVariantList &values)
{
    return LoadGridRows(m_grid, sql, values);
}

qint32 GridWindow::rowId(int row) const
{
    return GridRowId(m_grid, row, IdCol);
}

void GridWindow::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        ShowMainMenu();
}
