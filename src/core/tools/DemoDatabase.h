#pragma once

#include <QDate>
#include <QString>

class ServerAddress;

// Writes a database in the delivered schema filled like a factory's after years of use: workers
// with base wages, work types with their prices, one entry per worker per working day (Monday to
// Saturday) back from the last day, and rewards and punishments over the same span.
class DemoDatabase
{
public:
    struct Size
    {
        int workers = 2000;
        int workTypes = 200;
        int entries = 1000000;
        int rewards = 20000;
        QDate lastDay;
    };

    // Throws QirvoError when the file exists already or cannot be written; a failed run leaves no
    // file under the path. The same size always gives the same rows.
    static void create(const QString& path, const Size& size);
    // Fills the Qirvo database on a server (made by qirvo-makedb --database) with the same rows.
    // Throws QirvoError, writing nothing, when it holds workers or entries already.
    static void fill(const ServerAddress& server, const Size& size);
};
