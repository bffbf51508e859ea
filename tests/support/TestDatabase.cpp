#include "TestDatabase.h"

#include "Schema.h"
#include "ServerSchema.h"
#include "ShareDMUnit.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
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

ServerAddress onServer(const ServerAddress& server, const QString& database)
{
    return ServerAddress::parse(u"postgresql://%1@/%2?host=%3"_s.arg(server.user(), database, server.host()));
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
        const ServerAddress address = onServer(*m_server, m_serverDatabase);
        ServerSchema::createDatabaseIfMissing(address);
        runOn(address, [](QSqlDatabase& db) { ServerSchema::create(db); });
        m_shareDM->ADOConnection1.setServer(address);
    } else {
        m_shareDM->ADOConnection1.setConnectionString(BuildConnectionString(path(), DatabasePassword));
    }
    m_shareDM->ADOConnection1.open();
}

TestDatabase::~TestDatabase()
{
    m_shareDM.reset();
    SetAppDirForTesting(QString());
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
    const bool prepared = query.prepare(m_shareDM->ADOConnection1.dialect().translate(sql));
    for (const QVariant& param : params)
        query.addBindValue(param);
    if (!prepared || !query.exec())
        QTest::qFail(qPrintable(query.lastError().text() + u" in "_s + sql), __FILE__, __LINE__);
}

QVariant TestDatabase::scalar(const QString& sql, const QVariantList& params)
{
    QSqlQuery query(m_shareDM->ADOConnection1.database());
    query.prepare(m_shareDM->ADOConnection1.dialect().translate(sql));
    for (const QVariant& param : params)
        query.addBindValue(param);
    if (!query.exec() || !query.next()) {
        QTest::qFail(qPrintable(query.lastError().text() + u" in "_s + sql), __FILE__, __LINE__);
        return {};
    }
    return query.value(0);
}

QStringList TestDatabase::texts(const QString& sql, const QVariantList& params)
{
    QSqlQuery query(m_shareDM->ADOConnection1.database());
    query.prepare(m_shareDM->ADOConnection1.dialect().translate(sql));
    for (const QVariant& param : params)
        query.addBindValue(param);
    QStringList values;
    if (!query.exec()) {
        QTest::qFail(qPrintable(query.lastError().text() + u" in "_s + sql), __FILE__, __LINE__);
        return values;
    }
    while (query.next())
        values << query.value(0).toString();
    return values;
}
