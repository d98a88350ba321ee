#pragma once

#include <QWidget>

class QLabel;
class PasswordBox;
class QPushButton;

// Whether typed is the login password stored in tblinfo. Throws DbError.
bool CheckPassword(const QString &typed);

// The login window. Enter in the password box moves to the button; Enter or
// Space on the button logs in.
class frmLoad : public QWidget
{
    Q_OBJECT
public:
    explicit frmLoad(QWidget *parent = nullptr);

    // Chooses the settings folder and opens the database. On failure the
    // engine's text has been shown and the program should end.
    bool load();

private:
    void login();

    QLabel *m_label;
    QPushButton *m_ok; // made first: the password box moves on to it
    PasswordBox *m_password;
};
