#pragma once

#include <QDialog>

class QLabel;

// The program's web address: the "url" setting, or its home page.
QString AboutAddress();

// The about window: version, maker and download lines, the web address
// (a click opens it) and a picture (a click copies the address).
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit frmAbout(QWidget *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void openAddress() const;
    void copyAddress() const;

    const QString m_address;
    QLabel *m_link;
    QLabel *m_copy;
};
