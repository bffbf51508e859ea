#pragma once

#include "ShareDM.h"

#include <QString>
#include <QTemporaryDir>
#include <QVariantList>

#include <memory>

// A fresh delivered database in a temporary program folder, opened through a ShareDM of its own.
class TestDatabase
{
public:
    TestDatabase();
    ~TestDatabase();

    QString folder() const;
    QString path() const;
    TShareDM& shareDM() { return *m_shareDM; }

    // Runs a statement directly on the open connection; fails the test on error.
    void exec(const QString& sql, const QVariantList& params = {});
    QVariant scalar(const QString& sql, const QVariantList& params = {});

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TShareDM> m_shareDM;
};
