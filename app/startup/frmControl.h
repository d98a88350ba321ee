#pragma once

#include <QHash>
#include <QWidget>

#include <functional>

class QPushButton;

// The main menu: eight buttons, each opening a working window (the menu hides
// until that window closes) or running a command. A button with nothing to
// run stays disabled.
class frmControl : public QWidget
{
    Q_OBJECT
public:
    using WindowFactory = std::function<QWidget *()>;

    explicit frmControl(QWidget *parent = nullptr);

    // The button shows the window named formName, created by factory when it
    // is not loaded, non-modally, then hides the menu.
    void setWorkingWindow(const QString &buttonName, const QString &formName, WindowFactory factory);
    // The button runs action; the menu stays.
    void setAction(const QString &buttonName, std::function<void()> action);

private:
    QPushButton *button(const QString &name) const;
    void showWorkingWindow(const QString &formName, const WindowFactory &factory);

    QHash<QString, std::function<void()>> m_actions;
};
