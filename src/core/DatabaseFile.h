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
};
