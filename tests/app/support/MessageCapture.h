#pragma once

// While it lives, every message the program would show is added to a list
// instead and answered with answer(); the handler before it comes back when
// it ends.

#include "shared/forms/MessageBox.h"

#include <QStringList>

class MessageCapture
{
public:
    explicit MessageCapture(QStringList &texts, MsgAnswer answer = MsgAnswer::Ok);
    ~MessageCapture();
    Q_DISABLE_COPY_MOVE(MessageCapture)

    MsgAnswer answer() const { return m_answer; }
    void setAnswer(MsgAnswer answer) { m_answer = answer; }

private:
    MsgAnswer m_answer;
    MsgHandler m_previous;
};
