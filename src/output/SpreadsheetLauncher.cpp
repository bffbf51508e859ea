#include "SpreadsheetLauncher.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// The program runs under a shell that notes its exit status and its complaints in the watch folder,
// with the shell's own means only: the program's PATH need not hold any other tool.
const QString Wrapper = uR"(d=$1; shift; "$@" 2>"$d/said"; echo $? >"$d/exit" 2>/dev/null)"_s;
constexpr int PollMilliseconds = 200;
// An application that is still running this long after its start has shown the file.
constexpr int WatchedPolls = 75;

} // namespace

bool SpreadsheetLauncher::launch(const QString& program, const QStringList& arguments, Failed failed)
{
    auto watch = std::make_unique<QTemporaryDir>();
    if (!watch->isValid())
        return QProcess::startDetached(program, arguments);
    if (!QProcess::startDetached(u"/bin/sh"_s,
                                 QStringList{u"-c"_s, Wrapper, u"sh"_s, watch->path(), program} + arguments))
        return false;
    new SpreadsheetLauncher(std::move(watch), std::move(failed));
    return true;
}

SpreadsheetLauncher::SpreadsheetLauncher(std::unique_ptr<QTemporaryDir> watch, Failed failed)
    : QObject(QCoreApplication::instance()), m_watch(std::move(watch)), m_failed(std::move(failed))
{
    m_timer = new QTimer(this);
    connect(m_timer, &QTimer::timeout, this, &SpreadsheetLauncher::poll);
    m_timer->start(PollMilliseconds);
}

SpreadsheetLauncher::~SpreadsheetLauncher() = default;

void SpreadsheetLauncher::poll()
{
    QFile exit(m_watch->filePath(u"exit"_s));
    // Not there, or not written to its end yet.
    const QByteArray written = exit.open(QIODevice::ReadOnly) ? exit.readAll() : QByteArray();
    if (!written.endsWith('\n')) {
        if (++m_polls >= WatchedPolls) {
            m_timer->stop();
            deleteLater();
        }
        return;
    }
    // Done watching before the report, whose box runs an event loop of its own.
    m_timer->stop();
    deleteLater();
    const int status = written.trimmed().toInt();
    if (status != 0) {
        QFile said(m_watch->filePath(u"said"_s));
        QString reason;
        if (said.open(QIODevice::ReadOnly))
            reason = QString::fromLocal8Bit(said.readAll()).trimmed().section(u'\n', 0, 0);
        m_failed(reason.isEmpty() ? u"退出码 %1"_s.arg(status) : reason);
    }
}
