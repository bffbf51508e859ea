#pragma once

#include "MessageBox.h"

#include <QList>
#include <QQueue>

// Answers every box while it lives and remembers what was shown; boxes with no queued answer get
// OK, or Yes where that is the confirming button.
class MessageBoxRecorder
{
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();

    void queueAnswer(MessageBox::Answer answer) { m_answers.enqueue(answer); }
    const QList<MessageBox::Shown>& shown() const { return m_shown; }
    QStringList texts() const;
    void clear() { m_shown.clear(); }

private:
    QList<MessageBox::Shown> m_shown;
    QQueue<MessageBox::Answer> m_answers;
};
