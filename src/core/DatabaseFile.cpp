#include "DatabaseFile.h"

#include "QirvoError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <fcntl.h>
#include <unistd.h>

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

// As the running program's user sees it, read-only file systems included.
bool writable(const QString& path)
{
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) == 0;
}

} // namespace

void DatabaseFile::verifyWritable(const QString& path)
{
    const QFileInfo info(path);
    const QString shownFile = QDir::toNativeSeparators(info.absoluteFilePath());
    if (!writable(info.absoluteFilePath()))
        throw QirvoError(u"数据库文件是只读的，本软件不能往里保存记录：\n%1\n"
                         u"请让管理员给这个文件加上写入权限后再启动本软件。"_s.arg(shownFile));
    const QString folder = info.absolutePath();
    if (!writable(folder))
        throw QirvoError(
            u"数据库文件所在的文件夹不能写入：\n%1\n"
            u"每次保存时本软件都要在这个文件夹里建立一个临时日志文件。"
            u"请让管理员给这个文件夹加上写入权限后再启动本软件。"_s.arg(QDir::toNativeSeparators(folder)));
}

QString DatabaseFile::damagedMessage(const QString& path, const QString& reason)
{
    const QFileInfo info(path);
    QString message = u"数据库文件已损坏，无法使用：\n%1\n（%2）\n\n"
                      u"请用最近的备份恢复数据：关闭本软件，把备份文件复制到程序目录 %3，"
                      u"改名为 Qirvo.mdb，覆盖这个损坏的文件，再启动本软件。"_s.arg(
                          QDir::toNativeSeparators(info.absoluteFilePath()), reason,
                          QDir::toNativeSeparators(info.absolutePath()));
    // A restore and an upgrade keep the database as it was beside it: the newest such copy may be
    // the best one.
    const QStringList safetyCopies =
        QDir(info.absolutePath())
            .entryList({u"Qirvo恢复前备份*.mdb"_s, u"Qirvo升级前备份*.mdb"_s}, QDir::Files, QDir::Time);
    if (!safetyCopies.isEmpty())
        message += u"\n程序目录中还有恢复或升级数据库前自动保留的副本（最新的在前），也可以这样使用：\n"_s +
                   safetyCopies.join(u'\n');
    return message;
}

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
