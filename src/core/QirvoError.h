#pragma once

#include <QString>

#include <stdexcept>

// An error meant for the operator: its message is the Chinese text the error box shows.
class QirvoError : public std::runtime_error
{
public:
    explicit QirvoError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {}

    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// Ends the running handler without any box: whoever threw it has already told the operator.
class SilentAbort
{
};
