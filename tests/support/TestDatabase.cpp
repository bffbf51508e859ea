#include "TestDatabase.h"

#include "Schema.h"
#include "ShareDMUnit.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::StringLiterals;

TestDatabase::TestDatabase()
{
    Schema::createDatabase(path());
    SetAppDirForTesting(folder());
    m_shareDM = std::make_unique<TShareDM>();
    m_shareDM->ADOConnection1.setConnectionString(BuildConnectionString(path(), DatabasePassword));
    m_shareDM->ADOConnection1.open();
}

TestDatabase::~TestDatabase()
{
    m_shareDM.reset();
    SetAppDirForTesting(QString());
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
    query.prepare(sql);
    for (const QVariant& param : params)
        query.addBindValue(param);
    if (!query.exec())
        QTest::qFail(qPrintable(query.lastError().text() + u" in "_s + sql), __FILE__, __LINE__);
}

QVariant TestDatabase::scalar(const QString& sql, const QVariantList& params)
{
    QSqlQuery query(m_shareDM->ADOConnection1.database());
    query.prepare(sql);
    for (const QVariant& param : params)
        query.addBindValue(param);
    if (!query.exec() || !query.next()) {
        QTest::qFail(qPrintable(query.lastError().text() + u" in "_s + sql), __FILE__, __LINE__);
        return {};
    }
    return query.value(0);
}
