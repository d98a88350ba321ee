#pragma once

#include "ovnavbar_export.h"

#include <QWidget>

#include <memory>

class NavigationList;
class QLabel;
class QToolButton;

// The record navigation bar: a list of record ids that the host window has
// saved or opened, a current position in it, four move buttons (imgBar0 to
// imgBar3: first, previous, next, last) and a position label (lbl).
//
// The bar never looks at data. It asks its host through events, which must be
// answered by direct connections because Cancel is in/out:
//   Allow(Cancel)             before a button moves; Cancel = true aborts.
//   CheckExistID(ID, Cancel)  for each candidate; Cancel = true drops the id.
//                             Cancel is false before the first candidate and
//                             is not reset between candidates, so a handler
//                             assigns it on every call.
//   OutputID(ID)              the host shows record ID (0: an empty record).
// The host tells the bar what it did through Navigate(BarFlag, InputID).
class OVNAVBAR_EXPORT OVNavigationBar : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString BarList READ BarList)
    Q_PROPERTY(int Count READ Count)
    Q_PROPERTY(int NewIndex READ NewIndex)
    Q_PROPERTY(int NewID READ NewID)

public:
    enum BarFlags {
        ovNBFirst = 0,
        ovNBPrev = 1,
        ovNBNext = 2,
        ovNBLast = 3,
        ovNBSave = 4,
        ovNBCopy = 5,
        ovNBNew = 6,
        ovNBDelete = 7,
        ovNBQuery = 8,
    };
    Q_ENUM(BarFlags)

    explicit OVNavigationBar(QWidget *parent = nullptr);
    ~OVNavigationBar() override;

    Q_INVOKABLE void Navigate(int BarFlag, int InputID = 0);
    // The ids at positions 1 to Count, in decimal, joined with ",".
    QString BarList() const;
    int Count() const;
    // The current position; 0 when the host shows no stored record.
    int NewIndex() const;
    // The id at the current position; 0 at position 0.
    int NewID() const;
    Q_INVOKABLE void ShowAbout();

Q_SIGNALS:
    void CheckExistID(int ID, bool &Cancel);
    void OutputID(int ID);
    void Allow(bool &Cancel);

private:
    void press(int index);
    void refresh();
    void checkExists(qint32 id, bool &cancel);

    std::unique_ptr<NavigationList> m_list;
    QLabel *m_label = nullptr;
    QToolButton *m_buttons[4] = {};
};
