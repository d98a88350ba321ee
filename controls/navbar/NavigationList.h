#pragma once

#include "ovnavbar_export.h"

#include <QList>
#include <QString>

#include <functional>

// The state and rules of a navigation bar without any widget: a list of
// record ids behind a fixed entry 0 (no record), a current position, and the
// moves that the bar's buttons and its host's Navigate calls make. The bar
// widget is a thin shell that raises events around these steps, so the rules
// can be driven and checked without a screen.
class OVNAVBAR_EXPORT NavigationList
{
public:
    // Asked for each candidate id while a move looks for its target. Setting
    // cancel says the record is gone. cancel is false before the first
    // candidate of a move and is not reset between candidates.
    using ExistCheck = std::function<void(qint32 id, bool &cancel)>;

    // What the bar shows: the position label and which buttons are visible.
    struct Display
    {
        QString label;
        bool first = false;
        bool previous = false;
        bool next = false;
        bool last = false;

        bool operator==(const Display &) const = default;
    };

    int count() const { return int(m_ids.size()) - 1; }
    int position() const { return m_position; }
    qint32 idAt(int position) const;
    qint32 currentId() const { return idAt(m_position); }
    // The ids at positions 1 to count, joined with ",".
    QString joinedIds() const;

    // The operation and input id of the last move or Navigate.
    int operation() const { return m_operation; }
    qint32 inputId() const { return m_inputId; }

    // A button press (index 0 to 3: first, previous, next, last) once the host
    // allowed it.
    void press(int index, const ExistCheck &check);
    // Applies Navigate(flag, inputId); returns whether the bar must now raise
    // OutputID with currentId().
    bool navigate(int flag, qint32 inputId, const ExistCheck &check);

    Display display() const;

    // The steps the moves are made of, public so each can be checked alone.
    int candidate(int operation) const;
    void selectTarget(const ExistCheck &check);
    void removeAt(int k);
    void findOrAppend(qint32 id);

private:
    QList<qint32> m_ids{0};
    int m_position = 0;
    int m_operation = 0;
    qint32 m_inputId = 0;
};
