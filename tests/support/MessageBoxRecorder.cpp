#include "MessageBoxRecorder.h"

#include <QStringList>

MessageBoxRecorder::MessageBoxRecorder()
{
    MessageBox::setResponder([this](const MessageBox::Shown& shown) {
        m_shown << shown;
        if (!m_answers.isEmpty())
            return m_answers.dequeue();
        return shown.kind == MessageBox::Kind::AskYesCancel || shown.kind == MessageBox::Kind::AskYesNo
                   ? MessageBox::Answer::Yes
                   : MessageBox::Answer::Ok;
    });
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    MessageBox::setResponder({});
}

QStringList MessageBoxRecorder::texts() const
{
    QStringList result;
    for (const MessageBox::Shown& shown : m_shown)
        result << shown.text;
    return result;
}
