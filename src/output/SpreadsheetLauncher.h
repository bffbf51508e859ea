#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QTemporaryDir;
class QTimer;

// Starts a spreadsheet program on a workbook without tying its life to this program's, and watches
// it for a while: a program that exits with an error soon after it started (it could not show the
// file after all) is reported with what it said.
class SpreadsheetLauncher : public QObject
{
    Q_OBJECT

public:
    using Failed = std::function<void(const QString& reason)>;

    // False when the program could not be started at all.
    static bool launch(const QString& program, const QStringList& arguments, Failed failed);
    ~SpreadsheetLauncher() override;

private:
    SpreadsheetLauncher(std::unique_ptr<QTemporaryDir> watch, Failed failed);
    void poll();

    std::unique_ptr<QTemporaryDir> m_watch;
    Failed m_failed;
    QTimer* m_timer;
    int m_polls = 0;
};
