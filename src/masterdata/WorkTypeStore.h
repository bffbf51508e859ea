#pragma once

#include <QString>

class Query;

struct WorkTypeFields
{
    QString serial;
    QString name;
    QString unit;
    QString remark;
};

// The work types in [Counter] with their prices in Price. Writes are all or nothing.
class WorkTypeStore
{
public:
    // The placeholder row an add starts from ("mark" in place of the code), for its new key.
    static int createPlaceholder();
    static WorkTypeFields load(int index);
    static QString storedSerial(int index);
    // Whether any work type carries the code, letter case aside.
    static bool serialTaken(const QString& serial);
    // Writes the pending price rows and the fields together, or nothing when either fails.
    static void save(int index, const WorkTypeFields& fields, Query& prices);
    // Deletes the work type and its prices; throws when the work type is no longer there.
    static void remove(int index);
    // Drops an add's placeholder and any prices written for it.
    static void discardPlaceholder(int index);
    // Drops the placeholders of adds that never ended (the program was killed with the editor open):
    // rows with the placeholder code and no name, which a saved work type never has.
    static void removeStrayPlaceholders();
};
