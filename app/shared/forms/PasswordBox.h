#pragma once

#include <QLineEdit>

class QPushButton;

// The password box of the login and password windows ("txtPassword"): what
// is typed is hidden, and Enter only moves the focus on to the window's
// button, which takes a second Enter.
class PasswordBox : public QLineEdit
{
    Q_OBJECT
public:
    // AsTyped takes every character, quotes included (the login compares
    // what was typed); Filtered refuses the keys no stored text may hold.
    enum class Keys { AsTyped, Filtered };

    PasswordBox(QPushButton *next, Keys keys, QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QPushButton *const m_next;
    const Keys m_keys;
};
