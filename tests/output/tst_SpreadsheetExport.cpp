#include "Clock.h"
#include "DataGrid.h"
#include "MessageBoxRecorder.h"
#include "Query.h"
#include "SpreadsheetExport.h"
#include "TestDatabase.h"
#include "XlsxSheet.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

GridColumn column(const QString& field, const QString& title,
                  GridColumn::Value value = GridColumn::Value::Text)
{
    GridColumn result;
    result.fieldName = field;
    result.title = title;
    result.value = value;
    return result;
}

} // namespace

class TestSpreadsheetExport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void writesDateTitlesAndRows();
    void hiddenColumnLeavesNoGap();
    void exportOpensTheWorkbookOrSaysWhereItIs_data();
    void exportOpensTheWorkbookOrSaysWhereItIs();
    void amountsAreWrittenAsShown();
    void windowedListExportsEveryRow();
    void stoppedExportLeavesNoFile();
    void applicationFailingAtOnceIsReported();

private:
    QList<GridColumn> payrollColumns() const;

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Query> m_query;
    std::unique_ptr<QTemporaryDir> m_out;
};

void TestSpreadsheetExport::init()
{
    Clock::setToday(QDate(2008, 3, 15));
    m_db = std::make_unique<TestDatabase>();
    m_db->exec(u"insert into Payfor (PayforEnable, payforUser, payforStartDate, payforEndDate, payforBase, "
               u"payforjli, payforcfa, payforjjian, payforSum) values "
               u"(1, '张三', '2008-03-01', '2008-03-31', 1000, 150, -50, 200.5, 1300.5), "
               u"(1, '123', '2008-03-01', '2008-03-31', 800, 0, 0, 0, 800), "
               u"(1, 'O''Neil', '2008-03-01', '2008-03-31', 900, null, -2.25, 10, 907.75)"_s);
    m_query = std::make_unique<Query>(m_db->shareDM().ADOConnection1);
    m_query->setSql(u"select * from payfor where PayforEnable=True"_s);
    m_query->open();
    m_out = std::make_unique<QTemporaryDir>();
    SpreadsheetExport::setOutputFolder(m_out->path());
}

void TestSpreadsheetExport::cleanup()
{
    SpreadsheetExport::setOpener({});
    SpreadsheetExport::setOutputFolder({});
    m_query.reset();
    m_db.reset();
    m_out.reset();
    Clock::setToday({});
}

QList<GridColumn> TestSpreadsheetExport::payrollColumns() const
{
    return {column(u"payforUser"_s, u"员工姓名"_s),
            column(u"payforStartDate"_s, u"开始日期"_s, GridColumn::Value::Date),
            column(u"payforEndDate"_s, u"结束日期"_s, GridColumn::Value::Date),
            column(u"payforBase"_s, u"基本工资"_s, GridColumn::Value::Number),
            column(u"payforjli"_s, u"奖励"_s, GridColumn::Value::Number),
            column(u"payforcfa"_s, u"惩罚"_s, GridColumn::Value::Number),
            column(u"payforjjian"_s, u"计件工资"_s, GridColumn::Value::Number),
            column(u"PayforSum"_s, u"合计"_s, GridColumn::Value::Number)};
}

void TestSpreadsheetExport::writesDateTitlesAndRows()
{
    const QString path = m_out->filePath(u"payroll.xlsx"_s);
    SpreadsheetExport::writeWorkbook(payrollColumns(), *m_query, Clock::today(), path);
    const XlsxSheet sheet = ReadXlsxSheet(path);

    QCOMPARE(sheet.value(u"A1"_s), u"s:日期:2008年03月15日"_s);
    QVERIFY(!sheet.contains(u"B1"_s) && !sheet.contains(u"A2"_s));
    QStringList titles;
    for (const QChar letter : u"ABCDEFGH"_s)
        titles << sheet.value(letter + u"3"_s);
    QCOMPARE(titles, (QStringList{u"s:员工姓名"_s, u"s:开始日期"_s, u"s:结束日期"_s, u"s:基本工资"_s,
                                  u"s:奖励"_s, u"s:惩罚"_s, u"s:计件工资"_s, u"s:合计"_s}));
    QVERIFY(!sheet.contains(u"I3"_s));

    QCOMPARE(sheet.value(u"A4"_s), u"s:张三"_s);
    QCOMPARE(sheet.value(u"B4"_s), u"s:2008.03.01"_s);
    QCOMPARE(sheet.value(u"C4"_s), u"s:2008.03.31"_s);
    QCOMPARE(sheet.value(u"D4"_s), u"n:1000"_s);
    QCOMPARE(sheet.value(u"F4"_s), u"n:-50"_s);
    QCOMPARE(sheet.value(u"H4"_s), u"n:1300.5"_s);
    // A name made of digits stays the text it is.
    QCOMPARE(sheet.value(u"A5"_s), u"s:123"_s);
    QCOMPARE(sheet.value(u"A6"_s), u"s:O'Neil"_s);
    QVERIFY(!sheet.contains(u"E6"_s));
    QCOMPARE(sheet.value(u"H6"_s), u"n:907.75"_s);
    QVERIFY(!sheet.contains(u"A7"_s));
}

void TestSpreadsheetExport::hiddenColumnLeavesNoGap()
{
    QList<GridColumn> columns = payrollColumns();
    columns[1].visible = false;
    const QString path = m_out->filePath(u"hidden.xlsx"_s);
    SpreadsheetExport::writeWorkbook(columns, *m_query, Clock::today(), path);
    const XlsxSheet sheet = ReadXlsxSheet(path);
    QCOMPARE(sheet.value(u"B3"_s), u"s:结束日期"_s);
    QCOMPARE(sheet.value(u"B4"_s), u"s:2008.03.31"_s);
    QCOMPARE(sheet.value(u"G3"_s), u"s:合计"_s);
    QVERIFY(!sheet.contains(u"H3"_s));
}

void TestSpreadsheetExport::exportOpensTheWorkbookOrSaysWhereItIs_data()
{
    QTest::addColumn<bool>("applicationFound");
    QTest::newRow("spreadsheet application") << true;
    QTest::newRow("none installed") << false;
}

void TestSpreadsheetExport::exportOpensTheWorkbookOrSaysWhereItIs()
{
    QFETCH(bool, applicationFound);

    MessageBoxRecorder boxes;
    QString opened;
    SpreadsheetExport::setOpener([&](const QString& path) {
        opened = path;
        return applicationFound;
    });
    DataGrid grid(DataGrid::Kind::List, *m_query);
    grid.setColumns(payrollColumns());
    ExportGridToExcel(&grid, nullptr);

    const QStringList written = QDir(m_out->path()).entryList({u"*.xlsx"_s}, QDir::Files);
    QCOMPARE(written.size(), 1);
    QCOMPARE(opened, QDir(m_out->path()).filePath(written.first()));
    QCOMPARE(ReadXlsxSheet(opened).value(u"A6"_s), u"s:O'Neil"_s);
    QCOMPARE(m_query->currentRow(), 2);
    if (applicationFound) {
        QVERIFY(boxes.shown().isEmpty());
    } else {
        QCOMPARE(boxes.shown().size(), 1);
        QVERIFY(
            boxes.texts().first().startsWith(u"本机未安装EXCEL,本功能必须在安装有EXCEL的电脑上才能运行!"_s));
        QVERIFY(boxes.texts().first().contains(QDir::toNativeSeparators(opened)));
    }
}

void TestSpreadsheetExport::amountsAreWrittenAsShown()
{
    m_db->exec(
        u"update Payfor set PayforSum=8570.310000000001, payforjjian=0.1+0.2 where payforUser='123'"_s);
    m_query->open();
    const QString path = m_out->filePath(u"rounded.xlsx"_s);
    SpreadsheetExport::writeWorkbook(payrollColumns(), *m_query, Clock::today(), path);
    const XlsxSheet sheet = ReadXlsxSheet(path);
    // Read back as a spreadsheet reads it: the number the text stands for, compared exactly.
    const auto number = [&sheet](const QString& cell) {
        return sheet.value(cell).mid(2).toDouble();
    };
    QVERIFY2(number(u"H5"_s) == 8570.31, qPrintable(sheet.value(u"H5"_s)));
    QVERIFY2(number(u"G5"_s) == 0.3, qPrintable(sheet.value(u"G5"_s)));
}

void TestSpreadsheetExport::windowedListExportsEveryRow()
{
    for (int i = 0; i < 300; ++i)
        m_db->exec(u"insert into Payfor (PayforEnable, payforUser, PayforSum) values (1, ?, ?)"_s,
                   {u"工人%1"_s.arg(i), i + 0.5});
    Query payroll(m_db->shareDM().ADOConnection1);
    payroll.setWindowed(u"rowid"_s, 16);
    payroll.setSql(u"select * from payfor where PayforEnable=True"_s);
    payroll.open();
    const QString path = m_out->filePath(u"long.xlsx"_s);
    SpreadsheetExport::writeWorkbook(payrollColumns(), payroll, Clock::today(), path);
    const XlsxSheet sheet = ReadXlsxSheet(path);
    for (int i = 0; i < 300; ++i) {
        QCOMPARE(sheet.value(u"A%1"_s.arg(i + 7)), u"s:工人%1"_s.arg(i));
        QCOMPARE(sheet.value(u"H%1"_s.arg(i + 7)), u"n:%1"_s.arg(i + 0.5));
    }
    QVERIFY(!sheet.contains(u"A307"_s));
}

void TestSpreadsheetExport::stoppedExportLeavesNoFile()
{
    for (int i = 0; i < 300; ++i)
        m_db->exec(u"insert into Payfor (PayforEnable, payforUser) values (1, ?)"_s, {u"工人%1"_s.arg(i)});
    m_query->open();
    const QString path = m_out->filePath(u"stopped.xlsx"_s);
    int last = -1;
    int seenTotal = 0;
    const bool written = SpreadsheetExport::writeWorkbook(payrollColumns(), *m_query, Clock::today(), path,
                                                          [&](int done, int total) {
                                                              last = done;
                                                              seenTotal = total;
                                                              return done < 150;
                                                          });
    QVERIFY(!written);
    QCOMPARE(last, 150);
    QCOMPARE(seenTotal, 303);
    QVERIFY(!QFile::exists(path));
    QVERIFY(SpreadsheetExport::writeWorkbook(payrollColumns(), *m_query, Clock::today(), path,
                                             [](int, int) { return true; }));
    QCOMPARE(ReadXlsxSheet(path).value(u"A306"_s), u"s:工人299"_s);
}

// The spreadsheet program starts and gives up at once: the clerk still learns where the work went.
void TestSpreadsheetExport::applicationFailingAtOnceIsReported()
{
    QTemporaryDir programs;
    const QString fake = programs.filePath(u"libreoffice"_s);
    {
        QFile script(fake);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho 'Unspecified Application Error' >&2\nexit 1\n");
    }
    QFile::setPermissions(fake, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(programs.path()));
    MessageBoxRecorder boxes;
    DataGrid grid(DataGrid::Kind::List, *m_query);
    grid.setColumns(payrollColumns());
    ExportGridToExcel(&grid, nullptr);
    qputenv("PATH", path);
    QVERIFY(boxes.shown().isEmpty());
    QTRY_COMPARE(boxes.shown().size(), 1);
    const QStringList written = QDir(m_out->path()).entryList({u"*.xlsx"_s}, QDir::Files);
    QCOMPARE(written.size(), 1);
    const QString text = boxes.texts().first();
    QVERIFY2(text.contains(u"Unspecified Application Error"_s) &&
                 text.contains(QDir::toNativeSeparators(QDir(m_out->path()).filePath(written.first()))) &&
                 !text.contains(u"本机未安装EXCEL"_s),
             qPrintable(text));
}

QTEST_MAIN(TestSpreadsheetExport)
#include "tst_SpreadsheetExport.moc"
