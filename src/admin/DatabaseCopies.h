#pragma once

#include <QDate>
#include <QString>

class Connection;

// Whole-file copies of the database: the backup taken while the program works on it, and the
// restore that puts a chosen backup in its place. Both write a temporary file in the target's
// folder and rename it into place, so the target is either the old file or the complete new one.
class DatabaseCopies
{
public:
    // The name start of the copies being written, hidden in the folder until complete.
    static inline const QString PartialPrefix = QStringLiteral(".qirvo-partial-");

    // "Qirvo计件统计" + the day as yyyy-M-d + ".mdb".
    static QString proposedBackupName(const QDate& day);

    // Copies the open database to target, replacing an existing file; a consistent copy even while
    // the program has the database open. Returns 0, or the system error number of the failure.
    static int backup(const Connection& live, const QString& target);
    // Removes what a copy killed halfway left in the folder: its partial file and journal.
    static void removeStalePartials(const QString& folder);
    // Whether both paths name one file (through links too); false when either does not exist.
    static bool isSameFile(const QString& first, const QString& second);

    // Throws QirvoError, saying why, when the file is not a usable Qirvo database: missing, not
    // SQLite, another application's file, damaged, or without the tables. Only reads the file.
    static void examineBackup(const QString& path);

    // Puts the backup in place of the closed database file, keeping the replaced file beside it
    // under safetyCopyName(). Returns 0, or the system error number of the failure; the database
    // file is then as it was.
    static int restore(const QString& backup, const QString& databasePath, const QDateTime& now);
    static QString safetyCopyName(const QString& databasePath, const QDateTime& now);
    // Where the file is kept as it was before the program brings it to a newer version.
    static QString upgradeCopyName(const QString& databasePath, const QDateTime& now);
};
