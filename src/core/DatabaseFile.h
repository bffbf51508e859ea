#pragma once

#include <QString>

// The mark every Qirvo database carries in its SQLite header (application_id), "QRVO".
inline constexpr qint32 QirvoApplicationId = 0x5152564F;

// Looks at a database file before anything opens it, and explains in the operator's words why it
// cannot be used. Reads the header only; the file is never written.
class DatabaseFile
{
public:
    // Throws QirvoError when the file is missing, unreadable, not SQLite, an Access file, or SQLite
    // but not a Qirvo database.
    static void verify(const QString& path);
    // Throws QirvoError, naming what to change, when the program could not save into the file: the
    // file or its folder (where the journal of every save is made) is not writable.
    static void verifyWritable(const QString& path);
    // Why a file that SQLite finds malformed cannot be used, and how to get the data back.
    static QString damagedMessage(const QString& path, const QString& reason);
};
