#pragma once

#include <QString>
#include <QStringList>

// The checks and lists behind the roster grid.
class RosterRules
{
public:
    // Whether a worker of that name exists, letter case aside.
    static bool nameTaken(const QString& name);
    // Every work-type name once, letter case aside, in the order the names were first entered.
    static QStringList workTypeNames();
};
