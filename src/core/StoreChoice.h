#pragma once

#include "ServerAddress.h"

#include <QStringList>

#include <optional>

// Which store this run works on: a PostgreSQL server named by "--database URL" on the command
// line, or else by "url" in the [database] group of Qirvo.ini beside the program; with neither,
// the Qirvo.mdb file beside the program.
class StoreChoice
{
public:
    // Throws QirvoError, naming where the address was written, for one that cannot be used.
    static std::optional<ServerAddress> read(const QStringList& arguments, const QString& programFolder);

    static const std::optional<ServerAddress>& server() { return s_server; }
    static void setServer(const std::optional<ServerAddress>& server) { s_server = server; }

private:
    static inline std::optional<ServerAddress> s_server;
};
