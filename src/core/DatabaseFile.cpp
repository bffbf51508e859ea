#include "DatabaseFile.h"

#include "QirvoError.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace {

constexpr int SqliteHeaderSize = 100;
constexpr int ApplicationIdOffset = 68;

bool isAccessFile(const QByteArray& head)
{
    // Jet and ACE files name their engine right after the first four bytes.
    const QByteArray engine = head.mid(4, 15);
    return engine == "Standard Jet DB" || engine == "Standard ACE DB";
}

} // namespace

void DatabaseFile::verify(const QString& path)
{
    const QString shownPath = QFileInfo(path).absoluteFilePath();
    const QFileInfo info(path);
    if (!info.exists())
        throw QirvoError(
            u"找不到数据库文件：\n%1\n请确认程序目录中有数据库文件 Qirvo.mdb。"_s.arg(shownPath));
    if (!info.isFile())
        throw QirvoError(u"数据库路径不是一个文件：\n%1"_s.arg(shownPath));

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw QirvoError(u"无法读取数据库文件：\n%1\n%2"_s.arg(shownPath, file.errorString()));
    const QByteArray head = file.read(SqliteHeaderSize);

    if (isAccessFile(head))
        throw QirvoError(
            u"数据库文件是 Microsoft Access 格式：\n%1\n"
            u"本软件只能打开 SQLite 格式的 Qirvo 数据库，请换用本软件附带的数据库文件。"_s.arg(shownPath));
    if (head.size() < SqliteHeaderSize || !head.startsWith(QByteArrayView("SQLite format 3\0", 16)))
        throw QirvoError(u"该文件不是数据库文件：\n%1"_s.arg(shownPath));
    const qint32 applicationId = qFromBigEndian<qint32>(head.constData() + ApplicationIdOffset);
    if (applicationId != QirvoApplicationId)
        throw QirvoError(u"该文件不是 Qirvo 计件工资数据库：\n%1"_s.arg(shownPath));
}
