// The program's everyday operations on a factory-sized database, each beside the bare SQL statement
// on the same file (the lower bound for this design). Writes a Markdown table of both times and
// their ratio.
#include "Clock.h"
#include "Condition.h"
#include "DataGrid.h"
#include "EntryStore.h"
#include "FooterAggregates.h"
#include "LoginUnit.h"
#include "MainUnit.h"
#include "PayrollGenerator.h"
#include "Query.h"
#include "ReportComponent.h"
#include "ReportPageView.h"
#include "ReportPainter.h"
#include "ReportPreview.h"
#include "SearchFilter.h"
#include "ShareDM.h"
#include "ShareDMUnit.h"
#include "SpreadsheetExport.h"

#include <QApplication>
#include <QDateEdit>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

// The newest day of the benchmark database (qirvo-makedemo --last-day).
const QDate LastDay(2026, 11, 30);
const QDate YearStart = LastDay.addYears(-1).addDays(1);

struct Figure
{
    QString operation;
    QString unit;
    double program;
    double bare;
    QString note;
};

template <typename Work> double medianMs(int runs, Work&& work)
{
    QList<double> times;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        work();
        times << timer.nsecsElapsed() / 1e6;
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The bare statement: prepared, bound and stepped to its end on a connection of its own, every
// column of every row read once.
class Bare
{
public:
    explicit Bare(const QString& path)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) !=
            SQLITE_OK)
            qFatal("cannot open %s", qPrintable(path));
    }
    ~Bare() { sqlite3_close(m_db); }

    int run(const QString& sql, const QVariantList& params = {})
    {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK)
            qFatal("bare statement failed: %s", sqlite3_errmsg(m_db));
        QList<QByteArray> texts;
        for (int i = 0; i < params.size(); ++i) {
            const QVariant& value = params[i];
            if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong) {
                sqlite3_bind_int64(statement, i + 1, value.toLongLong());
            } else if (value.typeId() == QMetaType::Double) {
                sqlite3_bind_double(statement, i + 1, value.toDouble());
            } else {
                texts << (value.typeId() == QMetaType::QDate ? value.toDate().toString(Qt::ISODate)
                                                             : value.toString())
                             .toUtf8();
                sqlite3_bind_text(statement, i + 1, texts.last().constData(), -1, SQLITE_STATIC);
            }
        }
        int rows = 0;
        int step;
        while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
            for (int column = 0; column < sqlite3_column_count(statement); ++column)
                sqlite3_column_text(statement, column);
            ++rows;
        }
        if (step != SQLITE_DONE)
            qFatal("bare statement failed: %s", sqlite3_errmsg(m_db));
        sqlite3_finalize(statement);
        return rows;
    }

    // The numbers of a statement's single row.
    QList<double> numbers(const QString& sql)
    {
        sqlite3_stmt* statement = nullptr;
        QList<double> values;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK ||
            sqlite3_step(statement) != SQLITE_ROW)
            qFatal("bare statement failed: %s", sqlite3_errmsg(m_db));
        for (int column = 0; column < sqlite3_column_count(statement); ++column)
            values << sqlite3_column_double(statement, column);
        sqlite3_finalize(statement);
        return values;
    }

private:
    sqlite3* m_db = nullptr;
};

// The search filter for one worker's, or every worker's, entries from start to the last day.
Condition entriesFrom(const QDate& start, const QString& worker = AllChoice)
{
    return BuildFilter({worker, true, start, LastDay, QString(), AllChoice});
}

QStringList allWorkers()
{
    QStringList names;
    Query& users = ShareDM->ADOQueryTemp1;
    OpenQuery(users, u"select UserName from [User]"_s);
    for (int row = 0; row < users.recordCount(); ++row)
        names << users.value(row, 0).toString();
    return names;
}

long peakKilobytes()
{
    QFile status(u"/proc/self/status"_s);
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

std::unique_ptr<TQirvofrm> startProgram()
{
    auto form = std::make_unique<TQirvofrm>();
    form->setLoginRunner([] {
        LoginName = u"系统管理员"_s;
        return int(QDialog::Accepted);
    });
    if (form->FormShow() != TQirvofrm::StartResult::Ready)
        qFatal("start-up failed");
    return form;
}

// 打印列表 of the listed entries: the report prepared and its preview showing the first page, then
// the whole report written as a PDF, the median of pdfRuns writes. Returns the two times in milliseconds.
std::pair<double, double> printList(TQirvofrm& form, int pdfRuns)
{
    ReportComponent& report = *form.frReport1;
    QElapsedTimer clock;
    clock.start();
    if (!report.LoadFromFile(QStringLiteral(QIRVO_FRF_DIR) + u"/Report.frf"_s) ||
        !report.PrepareReport(nullptr))
        qFatal("the list could not be prepared");
    {
        ReportPreview preview(report.preparedPages());
        preview.show();
        while (preview.pageView()->pagesDrawn().first != 0)
            QApplication::processEvents();
    }
    const double shown = clock.nsecsElapsed() / 1e6;
    QTemporaryDir folder;
    const double written = medianMs(
        pdfRuns, [&] { ReportPainter::writePdf(report.preparedPages(), folder.filePath(u"list.pdf"_s)); });
    report.releasePages();
    return {shown, written};
}

// 导出 of the listed entries to a workbook; returns the time in milliseconds.
double exportList(TQirvofrm& form)
{
    QTemporaryDir folder;
    QElapsedTimer clock;
    clock.start();
    if (!SpreadsheetExport::writeWorkbook(form.DBGridEh3->columns(), *form.ADOQueryCenter, LastDay,
                                          folder.filePath(u"list.xlsx"_s)))
        qFatal("the export stopped");
    return clock.nsecsElapsed() / 1e6;
}

// Run in a child process of its own, so that its peak memory is the listing's alone.
int measureMemory(const QString& mode, const QString& path, const QDate& start)
{
    const Condition filter = entriesFrom(start);
    int rows = 0;
    if (mode == u"bare") {
        rows = Bare(path).run(SearchResultSql(filter), filter.params);
    } else {
        TShareDM shareDM;
        SetAppDirForTesting(QFileInfo(path).absolutePath());
        const auto form = startProgram();
        form->show();
        form->OpenSearchResult(filter);
        QApplication::processEvents();
        rows = form->ADOQueryCenter->recordCount();
        if (mode == u"print")
            printList(*form, 1);
        else if (mode == u"export")
            exportList(*form);
    }
    QTextStream(stdout) << rows << ' ' << peakKilobytes() << '\n';
    return 0;
}

std::pair<int, double> childPeak(const QString& mode, const QString& path, const QDate& start)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {u"--memory"_s, mode, path, start.toString(Qt::ISODate)});
    child.waitForFinished(-1);
    const QList<QByteArray> words = child.readAllStandardOutput().trimmed().split(' ');
    if (words.size() != 2)
        qFatal("memory child failed: %s", child.readAllStandardError().constData());
    return {words[0].toInt(), words[1].toLong() / 1024.0};
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args[1] == u"--memory")
        return measureMemory(args[2], args[3], QDate::fromString(args[4], Qt::ISODate));
    if (args.size() != 3) {
        QTextStream(stderr) << "usage: bench_factory DATABASE RESULTS.md\n";
        return 2;
    }
    const QString path = QFileInfo(args[1]).absoluteFilePath();
    Clock::setToday(LastDay);
    SetAppDirForTesting(QFileInfo(path).absolutePath());
    QList<Figure> figures;
    Bare bare(path);

    {
        const double program = medianMs(5, [] {
            TShareDM shareDM;
            bool reached = false;
            TQirvofrm form;
            form.setLoginRunner([&] {
                reached = true;
                return int(QDialog::Rejected);
            });
            form.FormShow();
            if (!reached)
                qFatal("the login was not reached");
        });
        const double lower = medianMs(5, [&] {
            Bare fresh(path);
            fresh.run(u"select * from Power"_s);
        });
        figures << Figure{u"start-up to the login window"_s, u"ms"_s, program, lower,
                          u"open the file and read the accounts"_s};
    }

    TShareDM shareDM;
    const auto form = startProgram();
    form->show();
    QApplication::processEvents();
    const QStringList workers = allWorkers();

    {
        int day = 0;
        const double program =
            medianMs(9, [&] { form->dtRecord->setDate(LastDay.addDays(-2 * (++day % 2))); });
        const double lower = medianMs(9, [&] { bare.run(DayListSql(), {LastDay}); });
        figures << Figure{u"open the day list"_s, u"ms"_s, program, lower,
                          u"%1 rows"_s.arg(form->ADOQueryCenter->recordCount())};
    }
    {
        const Condition filter = entriesFrom(YearStart, workers.at(1234));
        const double program = medianMs(9, [&] { form->OpenSearchResult(filter); });
        const double lower = medianMs(9, [&] { bare.run(SearchResultSql(filter), filter.params); });
        figures << Figure{u"search one worker over a year"_s, u"ms"_s, program, lower,
                          u"%1 rows"_s.arg(form->ADOQueryCenter->recordCount())};
    }
    {
        const Condition filter = entriesFrom(YearStart);
        const double program = medianMs(3, [&] { form->OpenStatistics(filter); });
        const double lower = medianMs(3, [&] { bare.run(StatisticsSql(filter), filter.params); });
        figures << Figure{u"per-worker statistics of a year"_s, u"ms"_s, program, lower,
                          u"%1 workers"_s.arg(form->ADOQueryStat->recordCount())};
    }
    for (const auto& [name, start] :
         {std::pair{u"payroll of all workers, one month"_s, QDate(LastDay.year(), LastDay.month(), 1)},
          std::pair{u"payroll of all workers, one year"_s, YearStart}}) {
        const double program = medianMs(3, [&] {
            PayrollGenerator::generate(workers, start, LastDay);
            form->RefreshPayrollList();
        });
        const double lower = medianMs(3, [&] {
            bare.run(PayrollGenerator::computationSql(),
                     PayrollGenerator::computationParams(workers, start, LastDay));
        });
        figures << Figure{name, u"ms"_s, program, lower,
                          u"%1 rows written"_s.arg(form->ADOQueryPayfor->recordCount())};
    }
    {
        int serial = 0;
        const auto entry = [&] {
            return EntryFields{u"B%1"_s.arg(++serial),
                               workers.at(serial % workers.size()),
                               1,
                               0.5,
                               10,
                               5,
                               LastDay.addDays(1),
                               QString()};
        };
        const double program = medianMs(21, [&] {
            const EntryFields fields = entry();
            if (!EntryStore::workTypeBySerial(u"G001"_s) || !EntryStore::addIfDayFree(fields))
                qFatal("unexpected entry state");
        });
        const double lower = medianMs(21, [&] {
            const EntryFields fields = entry();
            bare.run(
                u"insert into RecordTable (RecordSerial, RecordUser, RecordCounter, RecordPrice, "
                u"RecordNumber, "
                u"RecordSum, RecordRecordDate, RecordSystemDate, RecordRemark) values (?, ?, ?, ?, ?, ?, ?, ?, ?)"_s,
                {fields.serial, fields.user, fields.counter, fields.price, fields.number, fields.amount,
                 fields.date, fields.date, fields.remark});
        });
        ExecSQLText(ShareDM->ADOQueryTemp1, u"delete from RecordTable where RecordRecordDate>?"_s, {LastDay});
        figures << Figure{u"save one entry"_s, u"ms"_s, program, lower,
                          u"checks, the day check and insert as one step, committed"_s};
    }
    {
        // 查找 over every entry: the list shows with its footers, which must be the database's own.
        const QString totals =
            u"select count(*), total(RecordNumber), total(RecordSum) from RecordTable,[Counter] "
            u"where RecordCounter=CounterIndex"_s;
        const double program = medianMs(3, [&] { form->OpenSearchResult(Condition()); });
        const double lower = medianMs(3, [&] { bare.numbers(totals); });
        const QList<double> expected = bare.numbers(totals);
        const QStringList footers = form->DBGridEh3->footerTexts();
        if (footers.value(0) != QString::number(qint64(expected[0])) ||
            footers.value(7) != FooterAggregates::formatSum(expected[1]) ||
            footers.value(8) != FooterAggregates::formatSum(expected[2]))
            qFatal("footers %s differ from the database's totals", qPrintable(footers.join(u' ')));
        figures << Figure{u"查找 over every entry, list with its footers"_s, u"ms"_s, program, lower,
                          u"%1 rows; bare: count and sums"_s.arg(form->ADOQueryCenter->recordCount())};

        // Jumps across the whole list, each to rows no page read so far holds.
        Query& entries = *form->ADOQueryCenter;
        const int rows = entries.recordCount();
        int jump = 0;
        const double scroll = medianMs(9, [&] {
            const int row = jump % 2 ? rows - 1 - jump * 997 : jump * 104729 % rows;
            ++jump;
            entries.setCurrentRow(row);
            form->DBGridEh3->view()->scrollTo(form->DBGridEh3->view()->model()->index(row, 0));
            entries.value(u"RecordSerial"_s);
        });
        jump = 0;
        const double read = medianMs(9, [&] {
            const int first = (++jump * 104729) % (rows - 256);
            bare.run(u"select * from RecordTable,[Counter] where RecordCounter=CounterIndex and RecordIndex "
                     u"between ? and ?"_s,
                     {first, first + 255});
        });
        figures << Figure{u"jump to a far row of every entry"_s, u"ms"_s, scroll, read,
                          u"reads its page of 256 rows; bare: 256 joined rows by key"_s};
    }
    // The last 50 working days of 2,000 workers make a list of 100,000 rows.
    QDate fiftyDays = LastDay;
    for (int days = 1; days < 50; fiftyDays = fiftyDays.addDays(-1))
        if (fiftyDays.addDays(-1).dayOfWeek() != Qt::Sunday)
            ++days;
    for (const auto& [name, start] :
         {std::pair{u"peak memory, a 100,000-row search result listed"_s, fiftyDays},
          std::pair{u"peak memory, a year's search result listed"_s, YearStart},
          std::pair{u"peak memory, every entry listed"_s, QDate(1900, 1, 1)}}) {
        const auto [rows, program] = childPeak(u"program"_s, path, start);
        const double lower = childPeak(u"bare"_s, path, start).second;
        figures << Figure{name, u"MB"_s, program, lower, u"%1 rows; whole process"_s.arg(rows)};
    }
    {
        const Condition filter = entriesFrom(fiftyDays);
        form->OpenSearchResult(filter);
        const auto [shown, written] = printList(*form, 3);
        const double lower = medianMs(1, [&] { bare.run(SearchResultSql(filter), filter.params); });
        const int rows = form->ADOQueryCenter->recordCount();
        figures << Figure{u"打印列表, preview showing its first page"_s, u"ms"_s, shown, lower,
                          u"%1 rows prepared; bare: their select"_s.arg(rows)};
        figures << Figure{u"打印列表, the whole list saved as PDF"_s, u"ms"_s, written, lower,
                          u"%1 rows; bare: their select"_s.arg(rows)};
        figures << Figure{u"export of a 100,000-row list to a workbook"_s, u"ms"_s, exportList(*form), lower,
                          u"%1 rows; bare: their select"_s.arg(rows)};
        const auto [exported, exportPeak] = childPeak(u"export"_s, path, fiftyDays);
        figures << Figure{u"peak memory, export of a 100,000-row list"_s, u"MB"_s, exportPeak,
                          childPeak(u"bare"_s, path, fiftyDays).second,
                          u"%1 rows; whole process"_s.arg(exported)};
        const auto [printed, peak] = childPeak(u"print"_s, path, fiftyDays);
        figures << Figure{u"peak memory, 打印列表 of a 100,000-row list"_s, u"MB"_s, peak,
                          childPeak(u"bare"_s, path, fiftyDays).second,
                          u"%1 rows prepared, previewed and saved; whole process"_s.arg(printed)};
    }

    QString table;
    QTextStream out(&table);
    out << "| operation | program | bare SQL | ratio | note |\n|---|---:|---:|---:|---|\n";
    for (const Figure& figure : figures)
        out << "| " << figure.operation << " | " << QString::number(figure.program, 'f', 1) << ' '
            << figure.unit << " | " << QString::number(figure.bare, 'f', 1) << ' ' << figure.unit << " | "
            << QString::number(figure.program / figure.bare, 'f', 2) << " | " << figure.note << " |\n";
    out.flush();
    QTextStream(stdout) << table;
    QFile results(args[2]);
    if (!results.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(args[2]));
    results.write(table.toUtf8());
    return 0;
}
