#pragma once

#include "ListForm.h"

// The client list "客户": name and a free contact text, with the name's
// search code.
class frmClient : public ListForm
{
    Q_OBJECT
public:
    explicit frmClient(QWidget *parent = nullptr);

    void SetupGrid();
    void LoadList();
    void SaveRow(int Row);

    // The name's search code; a one-letter code is stored doubled (x → xx).
    static QString SearchCodeOf(const QString &client);

protected:
    void validateEdit(int row, int col, bool &cancel) override;
    void afterEdit(int row, int col) override;
};
