#pragma once

#include <QString>
#include <QStringList>

// The checks and lists behind the roster grid.
class RosterRules
{
public:
    // Whether a worker of that name exists, letter case aside.
    static bool nameTaken(const QString& name);
    // Every distinct work-type name, in the order the database returns them.
    static QStringList workTypeNames();
};
