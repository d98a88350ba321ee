#pragma once

#include <OVGrid.h>
#include <OVNavigationBar.h>

#include <QPointer>
#include <QWidget>

// The base of the program's record windows (the bill window): the five
// record-window operations as virtual functions, so a window that lacks one
// does not compile. They stay Q_INVOKABLE, because the record-window
// procedures also drive windows by name (RecordForm.h).
class RecordWindow : public QWidget
{
    Q_OBJECT
public:
    // Loads record ID into the controls and the grid. False when it could not
    // be read: the window is then left empty, in state 0, never half loaded.
    Q_INVOKABLE virtual bool ovRst(int ID) = 0;
    // Recomputes the totals from the grid.
    Q_INVOKABLE virtual void ovTotal() = 0;
    // The stages of a record window's command buttons, as ovCmd takes them.
    enum CmdStep { CmdEmpty = 0, CmdChanged = 1, CmdStored = 2 };

    // Sets the command buttons for a CmdStep.
    Q_INVOKABLE virtual void ovCmd(int intStep) = 0;
    // True: there are unsaved changes the user wants to keep.
    Q_INVOKABLE virtual bool ovSaveYN() = 0;
    // Receives a picker's choice.
    Q_INVOKABLE virtual void ovModalForm(const QString &str) = 0;

    // The window's navigation bar ("nav") and grid ("grd").
    OVNavigationBar *nav() const { return m_nav; }
    OVGrid *grd() const { return m_grd; }

protected:
    explicit RecordWindow(QWidget *parent = nullptr);

    // Called once by the window after it made its bar and grid.
    void setRecordControls(OVNavigationBar *nav, OVGrid *grd);

private:
    QPointer<OVNavigationBar> m_nav;
    QPointer<OVGrid> m_grd;
};
