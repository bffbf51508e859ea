#pragma once

#include "GridColumn.h"

#include <QDate>
#include <QList>
#include <QString>

#include <functional>

class DataGrid;
class Query;
class QWidget;

// The payroll handed to a spreadsheet: a .xlsx workbook written from a grid, opened in the
// desktop's spreadsheet application.
class SpreadsheetExport
{
public:
    // Told the rows written so far and all the rows; false stops the writing.
    using Progress = std::function<bool(int done, int total)>;

    // Row 1 the date line, row 3 the titles of the visible columns, the rows from row 4: dates as
    // yyyy.mm.dd, numbers as numbers, other values as text. Throws QirvoError when the file cannot
    // be written. False, with no file left, when progress stopped it.
    static bool writeWorkbook(const QList<GridColumn>& columns, const Query& rows, const QDate& today,
                              const QString& path, const Progress& progress = {});
    // Opens the file in the spreadsheet application; false when there is none. An application that
    // fails soon after its start is reported to failedSoon.
    static bool openInSpreadsheet(const QString& path, const std::function<void(const QString&)>& failedSoon);
    // Tests decide where the file goes and whether an application opens it.
    static void setOpener(std::function<bool(const QString&)> opener);
    static void setOutputFolder(const QString& folder);
    static QString outputFolder();

private:
    static std::function<bool(const QString&)> s_opener;
    static QString s_outputFolder;
};

// 导出Excel: writes what the grid shows to a workbook and opens it; without a spreadsheet
// application says so, and where the workbook was kept.
void ExportGridToExcel(DataGrid* grid, QWidget* parent);
