// How long a 200,000-row list takes to open, total its footers and scroll, in a real grid.
#include "DataGrid.h"
#include "Query.h"
#include "Schema.h"
#include "ShareDM.h"
#include "ShareDMUnit.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

constexpr int Rows = 200000;

void fill(const Connection& connection)
{
    QSqlDatabase db = connection.database();
    db.transaction();
    QSqlQuery insert(db);
    insert.prepare(u"insert into jcheng (jchengUser, jchengDate, jchengReson, jchengSum, jchengRemark) "
                   u"values (?, ?, ?, ?, ?)"_s);
    for (int i = 0; i < Rows; ++i) {
        insert.addBindValue(u"工人%1"_s.arg(i % 2000));
        insert.addBindValue(QDate(2026, 1 + i % 12, 1 + i % 28).toString(Qt::ISODate));
        insert.addBindValue(i % 3 == 0 ? u"迟到"_s : u"全勤"_s);
        insert.addBindValue(i % 3 == 0 ? -20.0 : 50.5);
        insert.addBindValue(QString());
        insert.exec();
    }
    db.commit();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Qirvo.mdb"_s);
    Schema::createDatabase(path);
    TShareDM shareDM;
    shareDM.ADOConnection1.setConnectionString(BuildConnectionString(path, DatabasePassword));
    shareDM.ADOConnection1.open();
    fill(shareDM.ADOConnection1);

    Query rewards(shareDM.ADOConnection1);
    DataGrid grid(DataGrid::Kind::List, rewards);
    GridColumn user{u"jchengUser"_s, u"员工姓名"_s, 100, GridColumn::Footer::Count, Qt::blue, {}, true};
    GridColumn amount{u"jchengSum"_s, u"金额"_s, 100, GridColumn::Footer::Sum, Qt::magenta, {}, true};
    grid.setColumns({user, amount});
    grid.setFooterVisible(true);
    grid.resize(800, 600);
    grid.show();
    app.processEvents();

    QElapsedTimer timer;
    timer.start();
    OpenQuery(rewards, u"select *,iif(jchengSum>0,'奖励','惩罚') as jcTypeStr from jcheng where 0=0"_s);
    app.processEvents();
    const qint64 openMs = timer.restart();

    QSqlQuery bare(shareDM.ADOConnection1.database());
    bare.setForwardOnly(true);
    bare.exec(u"select *,iif(jchengSum>0,'奖励','惩罚') as jcTypeStr from jcheng where 0=0"_s);
    int bareRows = 0;
    while (bare.next())
        ++bareRows;
    const qint64 bareMs = timer.restart();

    QScrollBar* scroll = grid.view()->verticalScrollBar();
    for (int step = 0; step <= 20; ++step) {
        scroll->setValue(scroll->maximum() * step / 20);
        grid.view()->viewport()->repaint();
    }
    rewards.last();
    app.processEvents();
    const qint64 scrollMs = timer.restart();

    out << "rows: " << rewards.recordCount() << " (bare " << bareRows << ")\n";
    out << "footers: " << grid.footerTexts().join(u" | "_s) << '\n';
    out << "open list with footers: " << openMs << " ms; bare select of the same rows: " << bareMs
        << " ms; ratio " << QString::number(double(openMs) / std::max<qint64>(1, bareMs), 'f', 1) << '\n';
    out << "scroll through 21 positions and jump to the last row: " << scrollMs << " ms\n";
    return 0;
}
