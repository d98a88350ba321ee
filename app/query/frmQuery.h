#pragma once

#include "QueryStatement.h"
#include "shared/forms/GridWindow.h"

class DTPicker;
class QComboBox;
class QLabel;
class QPushButton;

// The bill query "查询": bills or bill lines found by date range, client,
// article number and one value-list field, shown in one of two read-only
// grids (grd for bills, grd1 for lines) with their totals and a count in the
// caption. A double-click opens the bill; "导出" hands the shown result to
// the spreadsheet. Hidden while a bill opened from here is edited, it keeps
// its criteria and result.
class frmQuery : public GridWindow
{
    Q_OBJECT
public:
    explicit frmQuery(QWidget *parent = nullptr);

    void SetupBillGrid();
    void SetupLineGrid();

    // The criteria as the controls hold them.
    QueryCriteria criteria() const;

    void RunQuery(bool bills);
    void ShowResult(const QueryStatement &statement, bool bills);
    void QueryBills(const QueryStatement &statement);
    void QueryLines(const QueryStatement &statement);

    // The grid the last query filled (the bill grid before any).
    OVGrid *shownGrid() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void fillLists();
    void fieldChosen(int index);
    void openBill(OVGrid *grid);
    void exportResult();
    // Totals of columns pi, kg and amount; count is the caption's figure.
    void showTotals(OVGrid *grid, int piCol, int kgCol, int amountCol, const QString &count);

    OVGrid *m_grd;  // bills
    OVGrid *m_grd1; // lines
    QComboBox *m_cboClient;
    DTPicker *m_dtpDate1;
    DTPicker *m_dtpDate2;
    QComboBox *m_cboArtno;
    QComboBox *m_cboServ;
    QComboBox *m_cboValue;
    QPushButton *m_cmdFind;
    QPushButton *m_cmdFindsub;
    QPushButton *m_cmdExcel;
    QLabel *m_lblTitle1; // pieces
    QLabel *m_lblTitle3; // KG
    QLabel *m_lblTitle2; // amount
};
