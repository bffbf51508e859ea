#include "SpreadsheetExport.h"

#include "Clock.h"
#include "DataGrid.h"
#include "MessageBox.h"
#include "ProgressWindow.h"
#include "QirvoError.h"
#include "Query.h"
#include "ShareDMUnit.h"
#include "SpreadsheetLauncher.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>

#include <xlsxwriter.h>

using namespace Qt::StringLiterals;

std::function<bool(const QString&)> SpreadsheetExport::s_opener;
QString SpreadsheetExport::s_outputFolder;

namespace {

class Workbook
{
public:
    explicit Workbook(const QString& path) : m_path(path)
    {
        lxw_workbook_options options{};
        // Rows are written in order, so the sheet can stream to disk and write its strings inline.
        options.constant_memory = LXW_TRUE;
        const QByteArray tmp = QDir::tempPath().toLocal8Bit();
        options.tmpdir = const_cast<char*>(tmp.constData());
        m_book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
        if (!m_book)
            throw QirvoError(u"无法建立工资表文件：%1"_s.arg(path));
        m_sheet = workbook_add_worksheet(m_book, nullptr);
    }
    ~Workbook()
    {
        if (m_book)
            workbook_close(m_book);
    }

    void text(int row, int column, const QString& value)
    {
        check(worksheet_write_string(m_sheet, lxw_row_t(row), lxw_col_t(column), value.toUtf8().constData(),
                                     nullptr));
    }
    void number(int row, int column, double value)
    {
        check(worksheet_write_number(m_sheet, lxw_row_t(row), lxw_col_t(column), value, nullptr));
    }
    void close()
    {
        const lxw_error error = workbook_close(m_book);
        m_book = nullptr;
        check(error);
    }

private:
    void check(lxw_error error) const
    {
        if (error != LXW_NO_ERROR)
            throw QirvoError(
                u"写入工资表文件失败：%1\n%2"_s.arg(m_path, QString::fromUtf8(lxw_strerror(error))));
    }

    QString m_path;
    lxw_workbook* m_book = nullptr;
    lxw_worksheet* m_sheet = nullptr;
};

bool isNumber(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Int:
    case QMetaType::LongLong:
        return true;
    default:
        return false;
    }
}

// An amount as the program shows it, to its three decimals: 8570.31, never 8570.310000000001.
double asShown(double amount)
{
    return QString::number(amount, 'f', 3).toDouble();
}

// A date alone as yyyy.mm.dd, one with a time of day as yyyy.mm.dd hh.nn.ss.
QString spreadsheetDate(const QString& text)
{
    if (const QDate date = QDate::fromString(text, Qt::ISODate); date.isValid())
        return date.toString(u"yyyy.MM.dd"_s);
    if (const QDateTime moment = QDateTime::fromString(text, Qt::ISODate); moment.isValid())
        return moment.toString(u"yyyy.MM.dd hh.mm.ss"_s);
    return text;
}

// Thrown when the clerk stops a long export.
struct Stopped
{
};

void writeSheet(const QList<GridColumn>& columns, const Query& rows, const QDate& today, const QString& path,
                const SpreadsheetExport::Progress& progress)
{
    Workbook book(path);
    book.text(0, 0, u"日期:"_s + today.toString(u"yyyy年MM月dd日"_s));
    // The visible columns in grid order, each with its field's place in the rows.
    QList<std::pair<const GridColumn*, int>> shown;
    for (const GridColumn& column : columns)
        if (column.visible)
            shown.append({&column, rows.fieldIndex(column.fieldName)});
    for (int k = 0; k < shown.size(); ++k)
        book.text(2, k, shown[k].first->title);
    const int total = rows.recordCount();
    for (int row = 0; row < total; ++row) {
        if (progress && !progress(row, total))
            throw Stopped{};
        for (int k = 0; k < shown.size(); ++k) {
            const auto& [column, field] = shown[k];
            const QVariant value = rows.value(row, field);
            const QString text = VariantToText(value);
            if (text.isEmpty())
                continue;
            if (column->value == GridColumn::Value::Date)
                book.text(row + 3, k, spreadsheetDate(text));
            else if (isNumber(value))
                book.number(row + 3, k, asShown(value.toDouble()));
            else
                book.text(row + 3, k, text);
        }
    }
    book.close();
}

// The desktop's own choice for .xlsx files, else a spreadsheet program found on the path.
bool openWithDesktop(const QString& path, const std::function<void(const QString&)>& failedSoon)
{
    const QString xdgMime = QStandardPaths::findExecutable(u"xdg-mime"_s);
    const QString xdgOpen = QStandardPaths::findExecutable(u"xdg-open"_s);
    if (!xdgMime.isEmpty() && !xdgOpen.isEmpty()) {
        QProcess query;
        query.start(xdgMime, {u"query"_s, u"default"_s,
                              u"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"_s});
        if (query.waitForFinished(5000) && !query.readAllStandardOutput().trimmed().isEmpty())
            return SpreadsheetLauncher::launch(xdgOpen, {path}, failedSoon);
    }
    for (const QString& program : {u"libreoffice"_s, u"localc"_s, u"soffice"_s, u"gnumeric"_s, u"et"_s}) {
        const QString found = QStandardPaths::findExecutable(program);
        if (!found.isEmpty())
            return SpreadsheetLauncher::launch(found, {path}, failedSoon);
    }
    return false;
}

} // namespace

bool SpreadsheetExport::writeWorkbook(const QList<GridColumn>& columns, const Query& rows, const QDate& today,
                                      const QString& path, const Progress& progress)
{
    try {
        writeSheet(columns, rows, today, path, progress);
        return true;
    } catch (const Stopped&) {
        QFile::remove(path);
        return false;
    } catch (...) {
        // A half-written workbook would open as a broken file.
        QFile::remove(path);
        throw;
    }
}

bool SpreadsheetExport::openInSpreadsheet(const QString& path,
                                          const std::function<void(const QString&)>& failedSoon)
{
    return s_opener ? s_opener(path) : openWithDesktop(path, failedSoon);
}

void SpreadsheetExport::setOpener(std::function<bool(const QString&)> opener)
{
    s_opener = std::move(opener);
}

void SpreadsheetExport::setOutputFolder(const QString& folder)
{
    s_outputFolder = folder;
}

QString SpreadsheetExport::outputFolder()
{
    if (!s_outputFolder.isEmpty())
        return s_outputFolder;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

void ExportGridToExcel(DataGrid* grid, QWidget* parent)
{
    const QString folder = SpreadsheetExport::outputFolder();
    if (!QDir().mkpath(folder))
        throw QirvoError(u"无法建立保存工资表的文件夹：%1"_s.arg(folder));
    const QString path = QDir(folder).filePath(
        u"工资统计_%1.xlsx"_s.arg(QDateTime::currentDateTime().toString(u"yyyyMMdd_HHmmss"_s)));
    {
        ProgressWindow progressWindow(u"导出Excel"_s, u"正在导出工资表……"_s, parent);
        const auto progress = [&progressWindow](int done, int total) {
            return progressWindow.advance(done, total);
        };
        if (!SpreadsheetExport::writeWorkbook(grid->columns(), grid->query(), Clock::today(), path, progress))
            return;
        grid->query().last();
    }
    const QString shownPath = QDir::toNativeSeparators(path);
    const QPointer<QWidget> owner = parent;
    const auto failedSoon = [owner, shownPath](const QString& reason) {
        MessageBox::information(
            owner, u"电子表格程序没能打开工资表（%1）。\n"
                   u"工资表已经导出保存在：%2\n可以用其他电子表格软件打开它。"_s.arg(reason, shownPath));
    };
    if (!SpreadsheetExport::openInSpreadsheet(path, failedSoon))
        MessageBox::information(
            parent, u"本机未安装EXCEL,本功能必须在安装有EXCEL的电脑上才能运行!\n"
                    u"工资表已经导出保存在：%1\n可以拷到装有EXCEL的电脑上打开。"_s.arg(shownPath));
}
