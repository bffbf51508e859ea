#pragma once

#include <QString>

class Connection;

// Backup and restore while the data lives on a server. A backup is the same kind of Qirvo.mdb file
// as the file store's, written from one consistent read of the server, so it opens anywhere and
// restores into either store; a restore replaces the server's rows from such a file in one
// transaction, and the other workstations see them at their next action.
class ServerCopies
{
public:
    // Replaces target only with a complete file. Throws QirvoError.
    static void backup(Connection& server, const QString& target);
    // First keeps what it replaces as a backup at safetyCopy. Throws QirvoError with the server's
    // data as it was.
    static void restore(Connection& server, const QString& backup, const QString& safetyCopy);
};
