// Writes a database filled like a factory's after years of use, for trying the program and for the
// benchmarks.
#include "Clock.h"
#include "DemoDatabase.h"
#include "QirvoError.h"
#include "ServerAddress.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

using namespace Qt::StringLiterals;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Writes a filled database in the delivered schema."_s);
    parser.addHelpOption();
    parser.addPositionalArgument(
        u"path"_s, u"the database file to write (it must not exist), or with --database none"_s);
    const QCommandLineOption database(
        u"database"_s, u"fill the empty Qirvo database on this server instead of a file"_s, u"url"_s);
    const DemoDatabase::Size defaults;
    const QCommandLineOption workers(u"workers"_s, u"number of workers"_s, u"n"_s,
                                     QString::number(defaults.workers));
    const QCommandLineOption workTypes(u"work-types"_s, u"number of work types"_s, u"n"_s,
                                       QString::number(defaults.workTypes));
    const QCommandLineOption entries(u"entries"_s, u"number of piece-work entries"_s, u"n"_s,
                                     QString::number(defaults.entries));
    const QCommandLineOption rewards(u"rewards"_s, u"number of rewards and punishments"_s, u"n"_s,
                                     QString::number(defaults.rewards));
    const QCommandLineOption lastDay(
        u"last-day"_s, u"the day of the newest entries, yyyy-MM-dd (default today)"_s, u"date"_s);
    parser.addOptions({workers, workTypes, entries, rewards, lastDay, database});
    parser.process(app);

    QTextStream err(stderr);
    if (parser.positionalArguments().size() != (parser.isSet(database) ? 0 : 1))
        parser.showHelp(2);
    DemoDatabase::Size size;
    bool ok = true;
    const auto number = [&](const QCommandLineOption& option) {
        bool valid = false;
        const int value = parser.value(option).toInt(&valid);
        ok = ok && valid && value >= 0;
        return value;
    };
    size.workers = number(workers);
    size.workTypes = number(workTypes);
    size.entries = number(entries);
    size.rewards = number(rewards);
    size.lastDay =
        parser.isSet(lastDay) ? QDate::fromString(parser.value(lastDay), Qt::ISODate) : Clock::today();
    if (!ok || !size.lastDay.isValid()) {
        err << "counts must be whole numbers of 0 or more, the last day a date yyyy-MM-dd\n";
        return 2;
    }
    const QString path =
        parser.isSet(database) ? parser.value(database) : parser.positionalArguments().first();
    QElapsedTimer timer;
    timer.start();
    try {
        if (parser.isSet(database))
            DemoDatabase::fill(ServerAddress::parse(path), size);
        else
            DemoDatabase::create(path, size);
    } catch (const QirvoError& error) {
        err << error.message() << '\n';
        return 1;
    }
    QTextStream(stdout) << u"已建立 %1：%2 名员工，%3 个工种，%4 条计件记录，%5 条奖惩（%6 秒）\n"_s.arg(path)
                               .arg(size.workers)
                               .arg(size.workTypes)
                               .arg(size.entries)
                               .arg(size.rewards)
                               .arg(timer.elapsed() / 1000.0, 0, 'f', 1);
    return 0;
}
