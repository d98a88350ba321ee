#pragma once

#include <QDialog>
#include <QPointer>

class OVGrid;
class QLabel;
class QLineEdit;

// The article picker "检索": lists, as the user types, the articles whose
// search code contains the typed text. Enter or a double-click closes it and
// hands the chosen article number to the owner window's ovModalForm; Esc
// closes it without a choice. It reads table artno only.
class frmSearchArtno : public QDialog
{
    Q_OBJECT
public:
    explicit frmSearchArtno(QWidget *owner);

    void SetupGrid();
    // Fills the list from the search text.
    void SearchArticles();
    // Hands the current row's article to the owner, unless it was deleted
    // since the list was read.
    void ConfirmArticle();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void queryChanged(const QString &text);
    // The keys that steer the list from the search box; true when handled.
    bool steerList(int key);

    QPointer<QWidget> m_owner;
    QLabel *m_label;
    QLineEdit *m_query;
    OVGrid *m_grid;
};
