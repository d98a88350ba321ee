#pragma once

#include <QObject>

#include <functional>

class QComboBox;

// Fills a combo box the first time its list is wanted, not when its window
// opens: a list of every client or article costs a window on years of data
// most of its opening time (the items, and the width of each measured for
// the combo's size), and most openings never drop it down. The combo
// stays empty, showing what was set or typed, until the user opens the
// pop-up, with the mouse or a key (F4, Alt+↓, ↑/↓ and the page keys, which
// step through the items), or until the program asks for the items with
// fillNow(). The fill then runs once, keeps the combo's text exactly,
// and chooses the item that the shown text names, as an eager fill followed
// by a choice by text would have done.
class LazyComboFill : public QObject
{
    Q_OBJECT

public:
    using Fill = std::function<void(QComboBox *)>;

    // Takes charge of filling combo with fill; more than one fill may wait on
    // one combo and then run in the order given.
    static void attach(QComboBox *combo, Fill fill);

    // Runs the fills still waiting on combo (none: nothing happens).
    static void fillNow(QComboBox *combo);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    LazyComboFill(QComboBox *combo, Fill fill);
    void run();

    QComboBox *const m_combo;
    Fill m_fill;
};
