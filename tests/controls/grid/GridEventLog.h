#pragma once

// Records every event an OVGrid raises, as "Name(arg,arg)" texts in order,
// and answers the Cancel events as a test tells it to.

#include "OVGrid.h"

#include <QStringList>

#include <optional>

class GridEventLog
{
public:
    explicit GridEventLog(OVGrid *grid)
    {
        const auto add = [this](const QString &text) { events << text; };
        const auto direct = Qt::DirectConnection;
        QObject::connect(grid, &OVGrid::AfterEdit, grid, [add](int r, int c) {
            add(QStringLiteral("AfterEdit(%1,%2)").arg(r).arg(c));
        }, direct);
        QObject::connect(grid, &OVGrid::BeforeEdit, grid, [this, add](int r, int c, bool &cancel) {
            add(QStringLiteral("BeforeEdit(%1,%2)").arg(r).arg(c));
            cancel = cancelBeforeEdit;
        }, direct);
        QObject::connect(grid, &OVGrid::ValidateEdit, grid, [this, grid, add](int r, int c, bool &cancel) {
            add(QStringLiteral("ValidateEdit(%1,%2:%3)").arg(r).arg(c).arg(grid->EditText()));
            if (rewriteTo)
                grid->setEditText(*rewriteTo);
            cancel = cancelValidateEdit;
        }, direct);
        QObject::connect(grid, &OVGrid::ModalForm, grid, [this, add](int r, int c, bool &cancel) {
            add(QStringLiteral("ModalForm(%1,%2)").arg(r).arg(c));
            cancel = cancelModalForm;
        }, direct);
        QObject::connect(grid, &OVGrid::BeforeSort, grid, [this, add](bool &cancel) {
            add(QStringLiteral("BeforeSort"));
            cancel = cancelSort;
        }, direct);
        QObject::connect(grid, &OVGrid::BeforeRowDelete, grid, [this, add](int r, bool &cancel) {
            add(QStringLiteral("BeforeRowDelete(%1)").arg(r));
            cancel = cancelRowDelete;
        }, direct);
        QObject::connect(grid, &OVGrid::AfterRowDelete, grid, [add] { add(QStringLiteral("AfterRowDelete")); }, direct);
        QObject::connect(grid, &OVGrid::Click, grid, [add] { add(QStringLiteral("Click")); }, direct);
        QObject::connect(grid, &OVGrid::DblClick, grid, [add] { add(QStringLiteral("DblClick")); }, direct);
        QObject::connect(grid, &OVGrid::SwitchColType, grid, [add](int r, int c) {
            add(QStringLiteral("SwitchColType(%1,%2)").arg(r).arg(c));
        }, direct);
        QObject::connect(grid, &OVGrid::AfterRowColChange, grid, [add](int r0, int c0, int r1, int c1) {
            add(QStringLiteral("AfterRowColChange(%1,%2,%3,%4)").arg(r0).arg(c0).arg(r1).arg(c1));
        }, direct);
        QObject::connect(grid, &OVGrid::KeyDown, grid, [add](short &key, short shift) {
            add(QStringLiteral("KeyDown(%1,%2)").arg(key).arg(shift));
        }, direct);
        QObject::connect(grid, &OVGrid::KeyDownEdit, grid, [add](int r, int c, short &key, short shift) {
            add(QStringLiteral("KeyDownEdit(%1,%2,%3,%4)").arg(r).arg(c).arg(key).arg(shift));
        }, direct);
    }

    // The events since the last call.
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
    bool cancelSort = false;
    bool cancelRowDelete = false;
    // What a ValidateEdit handler writes into EditText, if anything.
    std::optional<QString> rewriteTo;
};
