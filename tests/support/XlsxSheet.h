#pragma once

#include <QMap>
#include <QString>

// The first worksheet of a written .xlsx, read back through unzip: cell reference to "s:" and the
// text for a string, "n:" and the value for a number.
using XlsxSheet = QMap<QString, QString>;
XlsxSheet ReadXlsxSheet(const QString& path);
