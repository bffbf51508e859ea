#pragma once

#include <QString>

// The machine-wide settings store: an INI file of the system scope in which SettingsKey is a
// group. Tests point it elsewhere.
class SettingsStore
{
public:
    static QString machineStorePath();
    static void setMachineStorePathForTesting(const QString& path);

private:
    static QString s_machineStorePath;
};
