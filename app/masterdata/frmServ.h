#pragma once

#include "ListForm.h"

class QComboBox;

// The value lists "可选项": the short lists other windows offer in their
// drop-downs (products, colours, four kinds of staff). cboServ chooses the
// list the grid shows.
class frmServ : public ListForm
{
    Q_OBJECT
public:
    explicit frmServ(QWidget *parent = nullptr);

    void SetupGrid();
    void LoadList();
    void SaveRow(int Row);

    // The field name and caption of the list chosen now.
    QString currentField() const;
    QString currentCaption() const;

protected:
    void validateEdit(int row, int col, bool &cancel) override;
    void afterEdit(int row, int col) override;

private:
    void listChosen();

    QComboBox *m_cboServ;
};
