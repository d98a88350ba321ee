#pragma once

#include "BillStore.h"
#include "shared/forms/RecordWindow.h"

#include <QList>

class DTPicker;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The bill window: one bill's header, its lines in the grid, the totals, the
// four command buttons and the navigation bar over the bills handled since
// the window opened.
//
// The enabled state of "保存" is the one flag for unsaved changes. A line
// that was edited carries "0" in the hidden mark column until it is saved;
// saving stores the header, the marked lines and the totals as one
// transaction and touches the form only after it committed.
class frmBill : public RecordWindow
{
    Q_OBJECT
public:
    explicit frmBill(QWidget *parent = nullptr);

    bool ovRst(int ID) override;
    void ovTotal() override;
    void ovCmd(int intStep) override;
    bool ovSaveYN() override;
    void ovModalForm(const QString &str) override;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void placeControls();
    void SetupGrid();
    void connectEvents();
    void trackChanges();

    // Header.
    void pickClient();
    void showHeader(const BillHeader &header);
    BillHeader headerOfForm() const;

    // Buttons.
    void saveBill();
    void printBill();
    void newBill();
    void deleteBill();

    // Lines.
    void beforeEdit(int Row, int Col, bool &Cancel);
    void validateEdit(int Row, int Col, bool &Cancel);
    void afterEdit(int Row, int Col);
    void keyDownEdit(int Row, int Col, short &KeyCode, short Shift);
    void modalForm(int Row, int Col, bool &Cancel);
    void beforeRowDelete(int Row, bool &Cancel);
    void afterRowDelete();
    bool LookupArticle(int Row);
    void ComputeLine(int Row);
    void PadGridRows();
    void openArticlePicker();
    QList<BillLine> markedLines() const;
    QString cell(int row, int col) const;

    // Ends an edit still open in the grid, so that what was typed counts.
    void commitOpenEdit();

    // The article number a line had before its edit, put back when the new
    // one cannot be looked up.
    QString m_artnoBeforeEdit;
    // A bill whose existence could not be checked: the bar keeps it, and the
    // window shows it empty instead of reading it again.
    int m_uncheckedId = 0;

    OVGrid *m_grd = nullptr;
    OVNavigationBar *m_nav = nullptr;
    QLineEdit *m_txtID = nullptr;
    QComboBox *m_cboClient = nullptr;
    QLineEdit *m_txtLink = nullptr;
    DTPicker *m_dtpDate = nullptr;
    QLineEdit *m_txtComment = nullptr;
    QComboBox *m_cboMan[4] = {};
    QLabel *m_lblPi = nullptr;
    QLabel *m_lblQuantity = nullptr;
    QLabel *m_lblPrice = nullptr;
    QPushButton *m_cmdNew = nullptr;
    QPushButton *m_cmdSave = nullptr;
    QPushButton *m_cmdDel = nullptr;
    QPushButton *m_cmdPrint = nullptr;
};
