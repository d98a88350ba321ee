#pragma once

// Records the events an OVGrid raises, as "Name(arg,arg)" texts in order.
// Handlers of Cancel events can be told to cancel.

#include "OVGrid.h"

#include <QStringList>

class GridEventLog
{
public:
    explicit GridEventLog(OVGrid *grid)
    {
        auto add = [this](const QString &text) { events << text; };
        QObject::connect(grid, &OVGrid::AfterEdit, grid, [add](int r, int c) {
            add(QStringLiteral("AfterEdit(%1,%2)").arg(r).arg(c));
        }, Qt::DirectConnection);
        QObject::connect(grid, &OVGrid::BeforeEdit, grid, [this, add](int r, int c, bool &cancel) {
            add(QStringLiteral("BeforeEdit(%1,%2)").arg(r).arg(c));
            cancel = cancelBeforeEdit;
        }, Qt::DirectConnection);
        QObject::connect(grid, &OVGrid::ValidateEdit, grid, [this, add](int r, int c, bool &cancel) {
            add(QStringLiteral("ValidateEdit(%1,%2)").arg(r).arg(c));
            cancel = cancelValidateEdit;
        }, Qt::DirectConnection);
        QObject::connect(grid, &OVGrid::ModalForm, grid, [this, add](int r, int c, bool &cancel) {
            add(QStringLiteral("ModalForm(%1,%2)").arg(r).arg(c));
            cancel = cancelModalForm;
        }, Qt::DirectConnection);
        QObject::connect(grid, &OVGrid::BeforeSort, grid, [add](bool &) { add(QStringLiteral("BeforeSort")); },
                         Qt::DirectConnection);
        QObject::connect(grid, &OVGrid::BeforeRowDelete, grid, [add](int r, bool &) {
            add(QStringLiteral("BeforeRowDelete(%1)").arg(r));
        }, Qt::DirectConnection);
        QObject::connect(grid, &OVGrid::AfterRowDelete, grid, [add] { add(QStringLiteral("AfterRowDelete")); });
        QObject::connect(grid, &OVGrid::Click, grid, [add] { add(QStringLiteral("Click")); });
        QObject::connect(grid, &OVGrid::DblClick, grid, [add] { add(QStringLiteral("DblClick")); });
        QObject::connect(grid, &OVGrid::SwitchColType, grid, [add](int r, int c) {
            add(QStringLiteral("SwitchColType(%1,%2)").arg(r).arg(c));
        });
        QObject::connect(grid, &OVGrid::AfterRowColChange, grid, [add](int r0, int c0, int r1, int c1) {
            add(QStringLiteral("AfterRowColChange(%1,%2,%3,%4)").arg(r0).arg(c0).arg(r1).arg(c1));
        });
    }

    QStringList take()
    {
        QStringList result = events;
        events.clear();
        return result;
    }

    QStringList events;
    bool cancelBeforeEdit = false;
    bool cancelValidateEdit = false;
    bool cancelModalForm = false;
};
