// Writes the delivered database; an existing file is never touched.
#include "QirvoError.h"
#include "Schema.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

using namespace Qt::StringLiterals;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    if (app.arguments().size() != 2) {
        err << "usage: qirvo-makedb PATH\n";
        return 2;
    }
    const QString path = app.arguments().at(1);
    if (QFile::exists(path)) {
        QTextStream(stdout) << path << u" 已存在，保持不变。\n"_s;
        return 0;
    }
    try {
        Schema::createDatabase(path);
    } catch (const QirvoError& error) {
        err << error.message() << '\n';
        return 1;
    }
    QTextStream(stdout) << u"已建立数据库 "_s << path << '\n';
    return 0;
}
