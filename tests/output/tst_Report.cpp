#include "Clerk.h"
#include "FileDigest.h"
#include "MessageBoxRecorder.h"
#include "QirvoError.h"
#include "Query.h"
#include "ReportComponent.h"
#include "ReportLayout.h"
#include "ReportPageView.h"
#include "ReportPainter.h"
#include "ReportPreview.h"
#include "ReportTemplate.h"
#include "ShareDMUnit.h"
#include "TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString TemplateFolder = QStringLiteral(QIRVO_FRF_DIR);
const QString StatisticsSql =
    u"Select * from (SELECT RecordUser, Sum(RecordNumber) AS TotalNumber, Sum(RecordSum) AS TotalSum FROM "
    u"RecordTable,[Counter] where RecordCounter=CounterIndex GROUP BY RecordUser) as t1 left join (Select * "
    u"from "
    u"[User]) as t2 on t1.RecordUser=t2.UserName"_s;
const QString EntriesSql = u"Select * from RecordTable,[Counter] where RecordCounter=CounterIndex"_s;

} // namespace

class TestReport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void templateFaults_data();
    void templateFaults();
    void unknownFieldIsNamed();
    void deliveredTemplates_data();
    void deliveredTemplates();
    void listPrintsToPdf();
    void longListRunsOverPages();
    void windowedListPrintsEveryRow();
    void previewDrawsOnlyThePagesInView();
    void stoppedPdfLeavesNoFile();
    void preparationWalksToLastRowAndCanBeCancelled();
    void printActionAndMissingTemplate();
    void unreadableTemplateRaises();

private:
    std::unique_ptr<Query> query(const QString& sql);
    // The roster with 120 more workers, long enough for several pages.
    std::unique_ptr<Query> longRoster();
    static QString pageTexts(const ReportLayout& pages);

    std::unique_ptr<TestDatabase> m_db;
    QList<std::unique_ptr<Query>> m_queries;
};

void TestReport::init()
{
    m_db = std::make_unique<TestDatabase>();
    m_db->exec(
        u"insert into [Counter] (CounterSerial, CounterName, CounterUnit) values ('01', '车工', '件'), "
        u"('02', '包装', '箱')"_s);
    m_db->exec(
        u"insert into [User] (UserName, UserAge, UserSex, UserPhone, UserCounterName, UserBase) values "
        u"('张三', 32, '男', '13800000001', '车工', 1500), ('李四', 28, '女', '13800000002', '包装', 1400.5)"_s);
    m_db->exec(
        u"insert into RecordTable (RecordSerial, RecordUser, RecordCounter, RecordPrice, RecordNumber, "
        u"RecordSum, RecordRecordDate) values ('A001', '张三', 1, 0.35, 1200, 420, '2026-12-10'), "
        u"('A002', '李四', 2, 1.2, 85, 102, '2026-12-10'), ('A003', '张三', 1, 0.3333, 3, 1, '2026-12-11')"_s);
    m_db->exec(u"insert into Payfor (PayforEnable, payforUser, payforStartDate, payforEndDate, payforBase, "
               u"payforjli, "
               u"payforcfa, payforjjian, payforSum) values (1, '张三', '2026-12-01', '2026-12-31', 1500, "
               u"100, 0, 421, "
               u"2021), (1, '李四', '2026-12-01', '2026-12-31', 1400.5, 0, -20, 102, 1482.5)"_s);
}

void TestReport::cleanup()
{
    ReportComponent::setPreviewHandler({});
    m_queries.clear();
    m_db.reset();
}

std::unique_ptr<Query> TestReport::longRoster()
{
    for (int i = 0; i < 120; ++i)
        m_db->exec(u"insert into [User] (UserName, UserBase) values (?, 1000)"_s, {u"工人%1"_s.arg(i)});
    return query(u"Select * from [User]"_s);
}

std::unique_ptr<Query> TestReport::query(const QString& sql)
{
    auto result = std::make_unique<Query>(m_db->shareDM().ADOConnection1);
    OpenQuery(*result, sql);
    return result;
}

QString TestReport::pageTexts(const ReportLayout& pages)
{
    QStringList texts;
    for (int i = 0; i < pages.pageCount(); ++i)
        texts << pages.page(i).text();
    return texts.join(u'\n');
}

void TestReport::templateFaults_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("fault");
    const QString head = u"[report]\ndataset = frDBDataSet1\n"_s;
    QTest::newRow("unknown section") << head + u"[body]\n"_s << u"第 3 行"_s;
    QTest::newRow("column without width") << head + u"[columns]\nRecordUser | 姓名\n"_s << u"字段 | 标题"_s;
    QTest::newRow("bad width") << head + u"[columns]\nRecordUser | 姓名 | wide\n"_s << u"列宽"_s;
    QTest::newRow("bad alignment") << head + u"[columns]\nRecordUser | 姓名 | 20 | middle\n"_s << u"对齐"_s;
    QTest::newRow("unclosed bracket") << head + u"[record]\nleft = [RecordUser\n"_s << u"右括号"_s;
    QTest::newRow("unknown function") << head + u"[record]\nleft = [Avg(RecordSum)]\n"_s << u"未知的函数"_s;
    QTest::newRow("bad format") << head + u"[record]\nleft = [RecordSum|#,##0]\n"_s << u"数字格式"_s;
    QTest::newRow("no dataset") << u"[record]\nleft = x\n"_s << u"数据集"_s;
    QTest::newRow("nothing to print") << head << u"无内容可打印"_s;
    QTest::newRow("entry outside section") << u"dataset = x\n"_s << u"段之内"_s;
}

void TestReport::templateFaults()
{
    QFETCH(QString, text);
    QFETCH(QString, fault);
    try {
        ReportTemplate::parse(text, u"Broken.frf"_s);
        QFAIL("a faulty template must be refused");
    } catch (const QirvoError& error) {
        QVERIFY2(error.message().contains(u"Broken.frf"_s), qPrintable(error.message()));
        QVERIFY2(error.message().contains(fault), qPrintable(error.message()));
    }
}

void TestReport::unknownFieldIsNamed()
{
    auto entries = query(EntriesSql);
    for (const QString& text : {u"[report]\ndataset = d\n[columns]\nRecordUsr | 姓名 | 20\n"_s,
                                u"[report]\ndataset = d\n[record]\nleft = [Sum(RecordSm)]\n"_s}) {
        const ReportTemplate report = ReportTemplate::parse(text, u"Typo.frf"_s);
        try {
            ReportLayout::prepare(report, *entries, QDateTime::currentDateTime(), {});
            QFAIL("an unknown field must be refused");
        } catch (const QirvoError& error) {
            QVERIFY2(error.message().contains(u"Typo.frf"_s), qPrintable(error.message()));
            QVERIFY2(error.message().contains(u"RecordUsr"_s) || error.message().contains(u"RecordSm"_s),
                     qPrintable(error.message()));
        }
    }
}

void TestReport::deliveredTemplates_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("dataset");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("bill") << u"Bill.frf"_s << u"frDBDataSet1"_s << EntriesSql + u" and RecordSerial='A002'"_s
                          << QStringList{u"计件单"_s, u"单据编号：A002"_s, u"员工姓名：李四"_s,
                                         u"金    额：102.000 元"_s};
    QTest::newRow("day list") << u"Report.frf"_s << u"frDBDataSet1"_s << EntriesSql
                              << QStringList{u"计件数据列表"_s, u"A003"_s,    u"共 3 条"_s,
                                             u"1288"_s,         u"523.000"_s, u"第 1 页  共 1 页"_s};
    QTest::newRow("statistics") << u"Stat2.frf"_s << u"frDBDataSet2"_s << StatisticsSql
                                << QStringList{u"员工计件统计"_s, u"张三"_s,    u"1203"_s,
                                               u"421.000"_s,      u"共 2 人"_s, u"523.000"_s};
    QTest::newRow("roster") << u"UserReport.frf"_s << u"frDBDataSet3"_s << u"Select * from [User]"_s
                            << QStringList{u"员工花名册"_s, u"13800000002"_s, u"共 2 人"_s, u"2900.5"_s};
    QTest::newRow("payroll") << u"gjList.frf"_s << u"frDBDataSet4"_s
                             << u"select * from  payfor where PayforEnable=True"_s
                             << QStringList{u"员工工资表"_s, u"1400.50"_s, u"-20.00"_s, u"3503.500"_s,
                                            u"2900.50"_s};
}

void TestReport::deliveredTemplates()
{
    QFETCH(QString, file);
    QFETCH(QString, dataset);
    QFETCH(QString, sql);
    QFETCH(QStringList, expected);
    auto rows = query(sql);
    ReportComponent report(*rows, dataset);
    QVERIFY(report.LoadFromFile(TemplateFolder + u'/' + file));
    QVERIFY(report.PrepareReport(nullptr));
    const QString text = pageTexts(report.preparedPages());
    for (const QString& piece : expected)
        QVERIFY2(text.contains(piece), qPrintable(piece + u" missing from:\n"_s + text));
}

void TestReport::listPrintsToPdf()
{
    const QString pdftotext = QStandardPaths::findExecutable(u"pdftotext"_s);
    if (pdftotext.isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    // Characters whose glyphs CJK fonts share with radical look-alikes (日 ⽇, 工 ⼯, 车 ⻋, 黄 ⻩).
    m_db->exec(
        u"insert into [Counter] (CounterSerial, CounterName, CounterUnit) values ('03', '车缝', '件')"_s);
    m_db->exec(
        u"insert into RecordTable (RecordSerial, RecordUser, RecordCounter, RecordPrice, RecordNumber, "
        u"RecordSum, RecordRecordDate) values ('A004', '黄伟', 3, 2, 10, 20, '2026-12-11')"_s);
    auto rows = query(EntriesSql);
    ReportComponent report(*rows, u"frDBDataSet1"_s);
    QVERIFY(report.LoadFromFile(TemplateFolder + u"/Report.frf"_s));
    QVERIFY(report.PrepareReport(nullptr));
    const QString pdf = m_db->folder() + u"list.pdf"_s;
    ReportPainter::writePdf(report.preparedPages(), pdf);

    QProcess extract;
    extract.start(pdftotext, {pdf, u"-"_s});
    QVERIFY(extract.waitForFinished(30000));
    // The text found again in the file is exactly the text printed, so a search for a name finds it.
    const QString text = QString::fromUtf8(extract.readAllStandardOutput()).remove(u' ');
    for (const QString& piece :
         {u"计件数据列表"_s, u"A001"_s, u"A004"_s, u"张三"_s, u"李四"_s, u"包装"_s, u"车工"_s, u"车缝"_s,
          u"黄伟"_s, u"2026-12-11"_s, u"0.333"_s, u"共4条"_s, u"543.000"_s, u"1298"_s})
        QVERIFY2(text.contains(piece), qPrintable(piece + u" missing from:\n"_s + text));
}

void TestReport::longListRunsOverPages()
{
    auto roster = longRoster();
    ReportComponent report(*roster, u"frDBDataSet3"_s);
    QVERIFY(report.LoadFromFile(TemplateFolder + u"/UserReport.frf"_s));
    QVERIFY(report.PrepareReport(nullptr));
    const ReportLayout& pages = report.preparedPages();
    QVERIFY(pages.pageCount() > 2);
    const QString lastPage = pages.page(pages.pageCount() - 1).text();
    QVERIFY2(lastPage.contains(u"第 %1 页  共 %1 页"_s.arg(pages.pageCount())), qPrintable(lastPage));
    for (int i = 0; i < pages.pageCount(); ++i) {
        QVERIFY(pages.page(i).text().contains(u"身份证"_s));
        QVERIFY(pages.page(i).text().contains(u"Qirvo计件工资管理软件"_s));
    }
    QVERIFY(lastPage.contains(u"共 122 人"_s));
}

// A list read a page of rows at a time prints every row of the result and its totals.
void TestReport::windowedListPrintsEveryRow()
{
    for (int i = 0; i < 300; ++i)
        m_db->exec(
            u"insert into RecordTable (RecordSerial, RecordUser, RecordCounter, RecordPrice, RecordNumber, "
            u"RecordSum, RecordRecordDate) values (?, '张三', 1, 0.5, 2, 1, '2026-12-12')"_s,
            {u"W%1"_s.arg(i, 3, 10, QChar(u'0'))});
    Query entries(m_db->shareDM().ADOConnection1);
    entries.setWindowed(u"RecordIndex"_s, 16);
    // The amounts' total comes from the database, the pieces' from walking the rows.
    entries.setTotalledFields({u"RecordSum"_s});
    entries.setSql(EntriesSql);
    entries.open();
    ReportComponent report(entries, u"frDBDataSet1"_s);
    QVERIFY(report.LoadFromFile(TemplateFolder + u"/Report.frf"_s));
    QVERIFY(report.PrepareReport(nullptr));
    const QString text = pageTexts(report.preparedPages());
    for (int i = 0; i < 300; ++i)
        QVERIFY2(text.contains(u"W%1"_s.arg(i, 3, 10, QChar(u'0'))), qPrintable(u"W%1"_s.arg(i)));
    QVERIFY2(text.contains(u"共 303 条"_s) && text.contains(u"823.000"_s) && text.contains(u"1888"_s),
             qPrintable(text.right(400)));
}

void TestReport::previewDrawsOnlyThePagesInView()
{
    auto roster = longRoster();
    ReportComponent report(*roster, u"frDBDataSet3"_s);
    QVERIFY(report.LoadFromFile(TemplateFolder + u"/UserReport.frf"_s));
    QVERIFY(report.PrepareReport(nullptr));
    const int pages = report.preparedPages().pageCount();
    QVERIFY(pages > 2);
    ReportPreview preview(report.preparedPages());
    QVERIFY(Clerk::showActive(&preview));
    ReportPageView* view = preview.pageView();
    QTRY_COMPARE(view->pagesDrawn().first, 0);
    QVERIFY(view->pagesDrawn().second < 2);
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
    QTRY_COMPARE(view->pagesDrawn().second, pages - 1);
    QVERIFY(view->pagesDrawn().first >= pages - 2);
}

void TestReport::stoppedPdfLeavesNoFile()
{
    auto roster = longRoster();
    ReportComponent report(*roster, u"frDBDataSet3"_s);
    QVERIFY(report.LoadFromFile(TemplateFolder + u"/UserReport.frf"_s));
    QVERIFY(report.PrepareReport(nullptr));
    const QString pdf = m_db->folder() + u"stopped.pdf"_s;
    const auto stopAtSecondPage = [](int done, int) { return done < 2; };
    QVERIFY(!ReportPainter::writePdf(report.preparedPages(), pdf, stopAtSecondPage));
    QVERIFY(!QFile::exists(pdf));
    QVERIFY(ReportPainter::writePdf(report.preparedPages(), pdf, [](int, int) { return true; }));
    const QByteArray saved = FileDigest(pdf);
    // Stopping a save over an earlier report keeps that report as it was.
    QVERIFY(!ReportPainter::writePdf(report.preparedPages(), pdf, stopAtSecondPage));
    QCOMPARE(FileDigest(pdf), saved);
    QCOMPARE(QDir(m_db->folder()).entryList({u"stopped*"_s}, QDir::Files), QStringList{u"stopped.pdf"_s});
}

void TestReport::preparationWalksToLastRowAndCanBeCancelled()
{
    auto entries = query(EntriesSql);
    const ReportTemplate report = ReportTemplate::load(TemplateFolder + u"/Report.frf"_s);
    int calls = 0;
    const auto cancelAtSecond = [&calls](int done, int) {
        return ++calls, done < 2;
    };
    QVERIFY(!ReportLayout::prepare(report, *entries, QDateTime::currentDateTime(), cancelAtSecond));
    QCOMPARE(calls, 2);

    entries->first();
    QVERIFY(ReportLayout::prepare(report, *entries, QDateTime::currentDateTime(), {}));
    QCOMPARE(entries->currentRow(), entries->recordCount() - 1);
}

void TestReport::printActionAndMissingTemplate()
{
    MessageBoxRecorder boxes;
    int previews = 0;
    ReportComponent::setPreviewHandler([&previews](const ReportComponent&) { ++previews; });
    auto payroll = query(u"select * from  payfor where PayforEnable=True"_s);
    ReportComponent report(*payroll, u"frDBDataSet4"_s);

    PrintReport(report, u"frf/gjList.frf"_s, nullptr);
    QCOMPARE(previews, 0);
    QCOMPARE(boxes.shown().size(), 1);
    QVERIFY2(boxes.texts().first().contains(u"frf/gjList.frf"_s), qPrintable(boxes.texts().first()));

    QVERIFY(QDir(m_db->folder()).mkdir(u"frf"_s));
    const QString copy = m_db->folder() + u"frf/gjList.frf"_s;
    QVERIFY(QFile::copy(TemplateFolder + u"/gjList.frf"_s, copy));
    PrintReport(report, u"frf/gjList.frf"_s, nullptr);
    QCOMPARE(previews, 1);

    // Removed after a successful load, the copy loaded earlier still prints.
    QVERIFY(QFile::remove(copy));
    PrintReport(report, u"frf/gjList.frf"_s, nullptr);
    QCOMPARE(previews, 2);
    QCOMPARE(boxes.shown().size(), 1);
}

void TestReport::unreadableTemplateRaises()
{
    auto payroll = query(u"select * from payfor"_s);
    ReportComponent report(*payroll, u"frDBDataSet4"_s);
    QVERIFY(QDir(m_db->folder()).mkpath(u"frf/gjList.frf"_s));
    QVERIFY_THROWS_EXCEPTION(QirvoError, report.LoadFromFile(m_db->folder() + u"frf/gjList.frf"_s));
    QVERIFY(!report.hasDefinition());

    const QString wrongDataset = m_db->folder() + u"other.frf"_s;
    QFile::copy(TemplateFolder + u"/Report.frf"_s, wrongDataset);
    QVERIFY_THROWS_EXCEPTION(QirvoError, report.LoadFromFile(wrongDataset));
}

QTEST_MAIN(TestReport)
#include "tst_Report.moc"
