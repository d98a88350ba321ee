#pragma once

#include "ListForm.h"

// The article list "编号": article number, product, colour and unit price,
// with the search code the article picker looks in.
class frmArtno : public ListForm
{
    Q_OBJECT
public:
    explicit frmArtno(QWidget *parent = nullptr);

    void SetupGrid();
    void LoadList();
    void SaveRow(int Row);

    // artno, product and colour search codes joined by single blanks.
    static QString SearchCodeOf(const QString &artno, const QString &product, const QString &color);

protected:
    void validateEdit(int row, int col, bool &cancel) override;
    void afterEdit(int row, int col) override;
};
