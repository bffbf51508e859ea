#include "Clerk.h"
#include "Clock.h"
#include "DatabaseFile.h"
#include "FileDialog.h"
#include "FileDigest.h"
#include "LoginUnit.h"
#include "MainUnit.h"
#include "MessageBoxRecorder.h"
#include "QirvoError.h"
#include "Query.h"
#include "SettingsStore.h"
#include "ShareDMUnit.h"
#include "TestDatabase.h"
#include "WithoutRoot.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <optional>
#include <sys/file.h>
#include <sys/mount.h>

using namespace Qt::StringLiterals;

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    file.write(bytes);
}

int workerCount(const QString& path)
{
    int count = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"check"_s);
        db.setDatabaseName(path);
        db.setConnectOptions(u"QSQLITE_OPEN_READONLY"_s);
        if (db.open()) {
            QSqlQuery query(u"select count(*) from [User]"_s, db);
            if (query.next())
                count = query.value(0).toInt();
        }
    }
    QSqlDatabase::removeDatabase(u"check"_s);
    return count;
}

} // namespace

class TestBackupRestore : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void backupHoldsEveryWrittenRow();
    void backupStartsOnTheDesktopThenInTheLastFolder();
    void backupIntoAFolderNotWritable_data();
    void backupIntoAFolderNotWritable();
    void backupOntoTheOpenDatabaseIsRefused_data();
    void backupOntoTheOpenDatabaseIsRefused();
    void backupOntoAFullDiskGivesTheSystemNumber();
    void leftoversOfKilledCopiesAreRemoved();
    void restoreReplacesTheDatabaseAndEnds();
    void restoreRefusesWhatIsNotABackup_data();
    void restoreRefusesWhatIsNotABackup();
    void restoreAskedNoOrCancelledChangesNothing();
    void failedRestoreGoesOnWithTheOldDatabase();

private:
    void addWorkers(int from, int count);

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<QTemporaryDir> m_out;
    std::unique_ptr<MessageBoxRecorder> m_boxes;
    std::unique_ptr<TQirvofrm> m_form;
};

void TestBackupRestore::init()
{
    Clock::setToday(QDate(2008, 1, 10));
    m_db = std::make_unique<TestDatabase>();
    m_out = std::make_unique<QTemporaryDir>(QDir::tempPath() + u"/qirvo-backup-XXXXXX"_s);
    SettingsStore::setMachineStorePathForTesting(m_out->filePath(u"machine/Qirvo.ini"_s));
    m_boxes = std::make_unique<MessageBoxRecorder>();
    m_form = std::make_unique<TQirvofrm>();
    m_form->setLoginRunner([] {
        LoginName = u"系统管理员"_s;
        return int(QDialog::Accepted);
    });
    QCOMPARE(m_form->FormShow(), TQirvofrm::StartResult::Ready);
    QVERIFY(Clerk::showActive(m_form.get()));
    addWorkers(0, 3);
}

void TestBackupRestore::cleanup()
{
    m_form.reset();
    m_boxes.reset();
    m_db.reset();
    SettingsStore::setMachineStorePathForTesting({});
    SettingsIniPath.clear();
    m_out.reset();
    Clock::setToday({});
}

void TestBackupRestore::addWorkers(int from, int count)
{
    // Through the program's own connection, the way the clerk's work reaches the file.
    for (int worker = from; worker < from + count; ++worker)
        ExecSQLText(ShareDM->ADOQueryTemp1, u"insert into [User] (UserName, UserBase) values (?, 1000)"_s,
                    {u"工人%1"_s.arg(worker)});
}

// A full disk is reported as the system reports it (28), not as SQLite's own code for it.
void TestBackupRestore::backupOntoAFullDiskGivesTheSystemNumber()
{
    addWorkers(3, 300);
    const QString disk = m_out->filePath(u"small-disk"_s);
    QVERIFY(QDir(m_out->path()).mkdir(u"small-disk"_s));
    const QByteArray mountPoint = QFile::encodeName(disk);
    if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=24k") != 0)
        QSKIP("a small file system can only be mounted with the right to mount");
    FileDialog::setNextFileName(disk + u"/copy.mdb"_s);
    m_form->btn9->click();
    const QStringList left = QDir(disk).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    ::umount(mountPoint.constData());
    QCOMPARE(m_boxes->texts(), QStringList{u"数据库备份失败，失败号为：%1"_s.arg(ENOSPC)});
    QVERIFY2(left.isEmpty(), qPrintable(left.join(u' ')));
}

// A copy killed halfway leaves its partial file and journal; the next backup into that folder and
// the next start of the program clear them, but never the file of a copy still at work.
void TestBackupRestore::leftoversOfKilledCopiesAreRemoved()
{
    const QDir out(m_out->path());
    const QDir program(m_db->folder());
    for (const QString& name :
         {u".qirvo-partial-copy.mdb.Ab12Cd"_s, u".qirvo-partial-copy.mdb.Ab12Cd-journal"_s,
          u".qirvo-partial-old.mdb.Zz99Yy-journal"_s, u".qirvo-partial-busy.mdb.Qq11Ww"_s})
        writeFile(out.filePath(name), "partial");
    writeFile(program.filePath(u".qirvo-partial-Qirvo.mdb.Rt56Uv"_s), "partial");
    QFile busy(out.filePath(u".qirvo-partial-busy.mdb.Qq11Ww"_s));
    QVERIFY(busy.open(QIODevice::ReadOnly));
    QCOMPARE(::flock(busy.handle(), LOCK_EX), 0);

    FileDialog::setNextFileName(out.filePath(u"copy.mdb"_s));
    m_form->btn9->click();
    QCOMPARE(m_boxes->texts(), QStringList{u"恭喜您，数据库备份成功"_s});
    QCOMPARE(out.entryList(QDir::Files | QDir::Hidden, QDir::Name),
             (QStringList{u".qirvo-partial-busy.mdb.Qq11Ww"_s, u"copy.mdb"_s}));

    TQirvofrm again;
    again.setLoginRunner([] {
        LoginName = u"系统管理员"_s;
        return int(QDialog::Accepted);
    });
    QCOMPARE(again.FormShow(), TQirvofrm::StartResult::Ready);
    QCOMPARE(program.entryList({u".qirvo-partial-*"_s}, QDir::Files | QDir::Hidden), QStringList());
}

void TestBackupRestore::backupOntoTheOpenDatabaseIsRefused_data()
{
    QTest::addColumn<bool>("throughLink");
    QTest::newRow("the file itself") << false;
    QTest::newRow("a link to it") << true;
}

// Copying the database onto itself would leave the program writing to a replaced file.
void TestBackupRestore::backupOntoTheOpenDatabaseIsRefused()
{
    QFETCH(bool, throughLink);
    QString target = m_db->path();
    if (throughLink) {
        target = m_out->filePath(u"link.mdb"_s);
        QVERIFY(QFile::link(m_db->path(), target));
    }
    const QByteArray before = FileDigest(m_db->path());
    FileDialog::setNextFileName(target);
    m_form->btn9->click();
    QCOMPARE(m_boxes->shown().size(), 1);
    QCOMPARE(m_boxes->shown().first().kind, MessageBox::Kind::Warning);
    QVERIFY2(m_boxes->texts().first().contains(u"不能备份到正在使用的数据库文件本身"_s),
             qPrintable(m_boxes->texts().first()));
    QCOMPARE(FileDigest(m_db->path()), before);
    addWorkers(3, 1);
    QCOMPARE(workerCount(m_db->path()), 4);
}

void TestBackupRestore::backupHoldsEveryWrittenRow()
{
    addWorkers(3, 200);
    const QString target = m_out->filePath(u"copy.mdb"_s);
    writeFile(target, "an older file of that name");
    FileDialog::setNextFileName(target);
    m_form->btn9->click();
    QCOMPARE(m_boxes->texts(), QStringList{u"恭喜您，数据库备份成功"_s});
    DatabaseFile::verify(target);
    QCOMPARE(workerCount(target), 203);
    QCOMPARE(QDir(m_out->path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"copy.mdb"_s});
    QCOMPARE(ReadSetting(u"SavePath"_s), m_out->path() + u'/');
    QCOMPARE(ReadSetting(u"SaveLast"_s), target);
    // The program goes on working on its own file.
    addWorkers(203, 1);
    QCOMPARE(workerCount(m_db->path()), 204);
}

void TestBackupRestore::backupStartsOnTheDesktopThenInTheLastFolder()
{
    FileDialog::setNextFileName(QString());
    m_form->btn9->click();
    QVERIFY(m_boxes->shown().isEmpty());
    QCOMPARE(FileDialog::lastProposal(), GetDesktopDir() + u"/Qirvo计件统计2008-1-10.mdb"_s);
    QCOMPARE(ReadSetting(u"SavePath"_s), QString());

    // A name typed without extension gets .mdb.
    QVERIFY(QDir(m_out->path()).mkdir(u"sub"_s));
    const QString sub = m_out->filePath(u"sub"_s);
    FileDialog::setNextFileName(sub + u"/second"_s);
    m_form->btn9->click();
    QVERIFY(QFile::exists(sub + u"/second.mdb"_s));
    QCOMPARE(ReadSetting(u"SavePath"_s), sub + u'/');

    Clock::setToday(QDate(2008, 12, 31));
    FileDialog::setNextFileName(QString());
    m_form->btn9->click();
    QCOMPARE(FileDialog::lastProposal(), sub + u"/Qirvo计件统计2008-12-31.mdb"_s);
    FileDialog::setNextFileName(QString());
    m_form->btn10->click();
    QCOMPARE(FileDialog::lastProposal(), sub + u"/*.mdb"_s);
}

void TestBackupRestore::backupIntoAFolderNotWritable_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<int>("error");
    QTest::newRow("folder without write permission") << u"locked"_s << true << 13;
    QTest::newRow("folder that does not exist") << u"missing"_s << false << 2;
}

void TestBackupRestore::backupIntoAFolderNotWritable()
{
    QFETCH(QString, folder);
    QFETCH(bool, readOnly);
    QFETCH(int, error);

    const QString path = m_out->filePath(folder);
    if (readOnly) {
        QVERIFY(QDir(m_out->path()).mkdir(folder));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther |
                                        QFile::ReadGroup | QFile::ExeGroup);
        QFile::setPermissions(m_out->path(),
                              QFile::permissions(m_out->path()) | QFile::ExeOther | QFile::ReadOther);
    }
    FileDialog::setNextFileName(path + u"/copy.mdb"_s);
    {
        std::optional<WithoutRoot> unprivileged;
        if (readOnly)
            unprivileged.emplace();
        m_form->btn9->click();
    }
    QCOMPARE(m_boxes->texts(), QStringList{u"数据库备份失败，失败号为：%1"_s.arg(error)});
    if (readOnly)
        QVERIFY(QDir(path).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    QCOMPARE(ReadSetting(u"SavePath"_s), QString());
}

void TestBackupRestore::restoreReplacesTheDatabaseAndEnds()
{
    const QString backup = m_out->filePath(u"backup.mdb"_s);
    FileDialog::setNextFileName(backup);
    m_form->btn9->click();
    addWorkers(3, 5);
    m_boxes->clear();

    const QFile::Permissions permissions = QFile::permissions(m_db->path());
    FileDialog::setNextFileName(backup);
    m_form->btn10->click();
    QCOMPARE(QFile::permissions(m_db->path()), permissions);
    QCOMPARE(m_boxes->texts(), (QStringList{u"数据库恢复将导致当前数据全部丢失，是否继续？"_s,
                                            u"恭喜您，数据库恢复成功，请重新启动软件"_s}));
    QVERIFY(!m_form->isVisible());
    QVERIFY(!ShareDM->ADOConnection1.isOpen());

    // The next start finds the restored rows; the replaced file is kept beside it.
    m_form.reset();
    TShareDM restarted;
    TQirvofrm again;
    again.setLoginRunner([] { return int(QDialog::Accepted); });
    QCOMPARE(again.FormShow(), TQirvofrm::StartResult::Ready);
    QCOMPARE(again.ADOQueryUser->recordCount(), 3);
    const QStringList kept = QDir(m_db->folder()).entryList({u"Qirvo恢复前备份*.mdb"_s}, QDir::Files);
    QCOMPARE(kept.size(), 1);
    QCOMPARE(workerCount(m_db->folder() + kept.first()), 8);
    QCOMPARE(QDir(m_db->folder()).entryList({u".*"_s}, QDir::Files | QDir::Hidden), QStringList());
}

void TestBackupRestore::restoreRefusesWhatIsNotABackup_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty file") << u"empty"_s << u"不是数据库文件"_s;
    QTest::newRow("text file") << u"text"_s << u"不是数据库文件"_s;
    QTest::newRow("another application's SQLite file") << u"foreign"_s << u"不是 Qirvo"_s;
    QTest::newRow("truncated backup") << u"truncated"_s << u"已损坏"_s;
    QTest::newRow("Qirvo file without its tables") << u"tableless"_s << u"缺少数据表"_s;
    QTest::newRow("missing file") << u"missing"_s << u"数据库恢复失败，失败号为：2"_s;
}

void TestBackupRestore::restoreRefusesWhatIsNotABackup()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);

    const QString chosen = m_out->filePath(kind + u".mdb"_s);
    if (kind == u"empty")
        writeFile(chosen, {});
    else if (kind == u"text")
        writeFile(chosen, "姓名,金额\n张三,100\n");
    if (kind == u"foreign" || kind == u"tableless") {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"make"_s);
            db.setDatabaseName(chosen);
            QVERIFY(db.open());
            QSqlQuery query(db);
            QVERIFY(query.exec(u"create table notes (text)"_s));
            if (kind == u"tableless")
                QVERIFY(query.exec(u"pragma application_id = %1"_s.arg(QirvoApplicationId)));
        }
        QSqlDatabase::removeDatabase(u"make"_s);
    }
    if (kind == u"truncated") {
        addWorkers(3, 3000);
        const QString full = m_out->filePath(u"full.mdb"_s);
        FileDialog::setNextFileName(full);
        m_form->btn9->click();
        QFile file(full);
        QVERIFY(file.open(QIODevice::ReadOnly));
        writeFile(chosen, file.read(file.size() / 2));
        m_boxes->clear();
    }
    const QByteArray before = FileDigest(m_db->path());

    FileDialog::setNextFileName(chosen);
    m_form->btn10->click();
    QCOMPARE(m_boxes->shown().size(), 2);
    QVERIFY2(m_boxes->texts().last().contains(message), qPrintable(m_boxes->texts().last()));
    QVERIFY(m_form->isVisible());
    QVERIFY(ShareDM->ADOConnection1.isOpen());
    QCOMPARE(FileDigest(m_db->path()), before);
    QCOMPARE(QDir(m_db->folder()).entryList({u"*.mdb"_s}, QDir::Files), QStringList{DatabaseFileName});
    addWorkers(5000, 1);
}

void TestBackupRestore::restoreAskedNoOrCancelledChangesNothing()
{
    const QByteArray before = FileDigest(m_db->path());
    m_boxes->queueAnswer(MessageBox::Answer::No);
    FileDialog::setNextFileName(m_out->filePath(u"never-taken.mdb"_s));
    m_form->btn10->click();
    QCOMPARE(m_boxes->shown().size(), 1);
    QCOMPARE(m_boxes->shown().first().kind, MessageBox::Kind::AskYesNo);

    // The queued name is still there for the next dialog; take it by cancelling.
    FileDialog::setNextFileName(QString());
    m_form->btn10->click();
    m_form->btn10->click();
    QVERIFY(ShareDM->ADOConnection1.isOpen());
    QCOMPARE(FileDigest(m_db->path()), before);
}

void TestBackupRestore::failedRestoreGoesOnWithTheOldDatabase()
{
    const QString backup = m_out->filePath(u"backup.mdb"_s);
    FileDialog::setNextFileName(backup);
    m_form->btn9->click();
    addWorkers(3, 2);
    m_boxes->clear();
    const QByteArray before = FileDigest(m_db->path());

    // The program folder takes no new file; the database itself and the backup stay readable.
    QFile::setPermissions(m_out->path(),
                          QFile::permissions(m_out->path()) | QFile::ExeOther | QFile::ReadOther);
    QFile::setPermissions(backup, QFile::permissions(backup) | QFile::ReadOther);
    const QString folder = QDir::cleanPath(m_db->folder());
    if (geteuid() == 0) {
        QVERIFY(::chown(QFile::encodeName(folder).constData(), 65534, 65534) == 0);
        QVERIFY(::chown(QFile::encodeName(m_db->path()).constData(), 65534, 65534) == 0);
    }
    const QFile::Permissions folderPermissions = QFile::permissions(folder);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    FileDialog::setNextFileName(backup);
    {
        WithoutRoot unprivileged;
        m_form->btn10->click();
        QVERIFY(ShareDM->ADOConnection1.isOpen());
        OpenQuery(ShareDM->ADOQueryTemp1, u"select count(*) from [User]"_s);
        QCOMPARE(ShareDM->ADOQueryTemp1.value(0, 0).toInt(), 5);
    }
    QFile::setPermissions(folder, folderPermissions);
    QCOMPARE(m_boxes->texts().last(), u"数据库恢复失败，失败号为：13"_s);
    QVERIFY(m_form->isVisible());
    QCOMPARE(FileDigest(m_db->path()), before);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{DatabaseFileName});
}

QTEST_MAIN(TestBackupRestore)
#include "tst_BackupRestore.moc"
