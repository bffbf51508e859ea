#include "TestDatabase.h"

#include "Schema.h"
#include "ServerSchema.h"
#include "ShareDMUnit.h"
#include "StoreChoice.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// QIRVO_TEST_STORE=server puts every test database on the server the test command started.
std::optional<ServerAddress> testServer()
{
    if (qEnvironmentVariable("QIRVO_TEST_STORE") != u"server")
        return std::nullopt;
    return ServerAddress::parse(qEnvironmentVariable("QIRVO_TEST_SERVER"));
}

void runOn(const ServerAddress& address, const std::function<void(QSqlDatabase&)>& work)
{
    const QString name = u"qirvo-test-setup"_s;
    {
        QSqlDatabase db = address.open(name);
        work(db);
    }
    QSqlDatabase::removeDatabase(name);
}

} // namespace

TestDatabase::TestDatabase() : m_server(testServer())
{
    Schema::createDatabase(path());
    SetAppDirForTesting(folder());
    m_shareDM = std::make_unique<TShareDM>();
    if (m_server) {
        static int created = 0;
        m_serverDatabase = u"qirvo_test_%1_%2"_s.arg(QCoreApplication::applicationPid()).arg(++created);
        const ServerAddress address = m_server->withDatabase(m_serverDatabase);
        ServerSchema::createDatabaseIfMissing(address);
        runOn(address, [](QSqlDatabase& db) { ServerSchema::create(db); });
        m_shareDM->ADOConnection1.setServer(address);
        // The main window started in a test opens the same server database.
        StoreChoice::setServer(address);
    } else {
        m_shareDM->ADOConnection1.setConnectionString(BuildConnectionString(path(), DatabasePassword));
    }
    m_shareDM->ADOConnection1.open();
}

TestDatabase::~TestDatabase()
{
    m_shareDM.reset();
    SetAppDirForTesting(QString());
    StoreChoice::setServer(std::nullopt);
    if (m_server)
        runOn(m_server->maintenance(), [this](QSqlDatabase& db) {
            QSqlQuery(db).exec(u"drop database if exists %1 with (force)"_s.arg(m_serverDatabase));
        });
}

QString TestDatabase::folder() const
{
    return m_dir.path() + u'/';
}

QString TestDatabase::path() const
{
    return folder() + DatabaseFileName;
}

void TestDatabase::exec(const QString& sql, const QVariantList& params)
{
    QSqlQuery query(m_shareDM->ADOConnection1.database());
    const QString translated = m_shareDM->ADOConnection1.dialect().translate(sql);
    // The server prepares no schema statement; one without values goes as it is.
    bool done = false;
    if (params.isEmpty()) {
        done = query.exec(translated);
    } else if (query.prepare(translated)) {
        for (const QVariant& param : params)
            query.addBindValue(param);
        done = query.exec();
    }
    if (!done)
        QTest::qFail(qPrintable(query.lastError().text() + u" in "_s + sql), __FILE__, __LINE__);
}

// The statement run with its values; on failure the test fails and the query is left inactive.
QSqlQuery TestDatabase::run(const QString& sql, const QVariantList& params)
{
    QSqlQuery query(m_shareDM->ADOConnection1.database());
    query.prepare(m_shareDM->ADOConnection1.dialect().translate(sql));
    for (const QVariant& param : params)
        query.addBindValue(param);
    if (!query.exec())
        QTest::qFail(qPrintable(query.lastError().text() + u" in "_s + sql), __FILE__, __LINE__);
    return query;
}

QVariant TestDatabase::scalar(const QString& sql, const QVariantList& params)
{
    QSqlQuery query = run(sql, params);
    if (!query.next()) {
        QTest::qFail(qPrintable(u"no row from "_s + sql), __FILE__, __LINE__);
        return {};
    }
    return query.value(0);
}

QStringList TestDatabase::texts(const QString& sql, const QVariantList& params)
{
    QSqlQuery query = run(sql, params);
    QStringList values;
    while (query.next())
        values << query.value(0).toString();
    return values;
}

QString TestDatabase::rowText(const QString& sql, const QVariantList& params)
{
    QSqlQuery query = run(sql, params);
    if (!query.next()) {
        QTest::qFail(qPrintable(u"no row from "_s + sql), __FILE__, __LINE__);
        return {};
    }
    QStringList texts;
    for (int i = 0; i < query.record().count(); ++i) {
        const QVariant value = query.value(i);
        if (value.isNull())
            texts << QString();
        else if (value.typeId() == QMetaType::QDate)
            texts << value.toDate().toString(Qt::ISODate);
        else if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Int ||
                 value.typeId() == QMetaType::LongLong)
            texts << QString::number(value.toDouble());
        else
            texts << value.toString();
    }
    return texts.join(u'|');
}

void TestDatabase::refuse(const QString& name, const QString& event, const QString& table,
                          const QString& message, const QString& when)
{
    const QString literal = u"'%1'"_s.arg(QString(message).replace(u'\'', u"''"_s));
    if (!m_server) {
        exec(u"create trigger %1 before %2 on [%3]%4 begin select raise(abort, %5); end"_s.arg(
            name, event, table, when.isEmpty() ? QString() : u" when "_s + when, literal));
        return;
    }
    exec(u"create function %1_refuses() returns trigger language plpgsql as $body$ begin raise exception "
         u"using message = %2; end $body$"_s.arg(name, literal));
    exec(u"create trigger %1 before %2 on [%3] for each row%4 execute function %1_refuses()"_s.arg(
        name, event, table, when.isEmpty() ? QString() : u" when ("_s + when + u")"_s));
}

void TestDatabase::stopRefusing(const QString& name, const QString& table)
{
    exec(m_server ? u"drop trigger %1 on [%2]"_s.arg(name, table) : u"drop trigger %1"_s.arg(name));
}

QString TestDatabase::address() const
{
    if (!m_server)
        return path();
    return m_server->withDatabase(m_serverDatabase).url();
}
