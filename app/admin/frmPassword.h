#pragma once

#include <QDialog>

class PasswordBox;
class QPushButton;

// Stores typed, cleaned of what may not be stored in a text field, as the
// login password of every tblinfo row (a salted hash). A database without a
// tblinfo row gets one, so the change is never silently lost. Throws DbError.
void StorePassword(const QString &typed);

// The password window. Enter in the box moves to "保存"; quotes, square
// brackets and Enter cannot be typed. Closing it without "保存" changes
// nothing.
class frmPassword : public QDialog
{
    Q_OBJECT
public:
    explicit frmPassword(QWidget *parent = nullptr);

private:
    void save();

    QPushButton *m_ok; // made first: the password box moves on to it
    PasswordBox *m_password;
};
