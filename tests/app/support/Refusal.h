#pragma once

// A trigger that makes the engine refuse a statement, so that a save fails
// part-way; written in the trigger language of the engine under test.

#include <QMetaType>
#include <QString>

struct Refusal
{
    QString event;     // "insert on billsub"
    QString condition; // on the new row
    QString message;

    void install() const;
    void remove() const;
};
Q_DECLARE_METATYPE(Refusal)
