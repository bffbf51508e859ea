#pragma once

#include <QSqlDatabase>
#include <QString>

// A connection of its own to a database file that is being built, removed again however the work
// ends. One at a time: each uses the same connection name.
class ScratchConnection
{
public:
    // Throws QirvoError when the file cannot be opened or created.
    explicit ScratchConnection(const QString& path);
    ~ScratchConnection();
    ScratchConnection(const ScratchConnection&) = delete;
    ScratchConnection& operator=(const ScratchConnection&) = delete;

    QSqlDatabase database() const;
};
