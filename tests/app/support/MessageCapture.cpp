#include "MessageCapture.h"

MessageCapture::MessageCapture(QStringList &texts, MsgAnswer answer)
    : m_answer(answer)
    , m_previous(SetMsgHandler([this, &texts](const QString &text, MsgButtons, MsgIcon) {
        texts << text;
        return m_answer;
    }))
{
}

MessageCapture::~MessageCapture()
{
    SetMsgHandler(std::move(m_previous));
}
