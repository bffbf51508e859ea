#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The open and save dialogs of the program; tests queue the file names the operator would pick.
class FileDialog
{
public:
    // Empty when the operator cancels.
    static QString getSaveFileName(QWidget* parent, const QString& caption, const QString& proposedPath,
                                   const QString& filter);
    static QString getOpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                                   const QString& filter);

    // The next dialog returns this name (empty: as if cancelled) without opening.
    static void setNextFileName(const QString& fileName);
    // The path or folder the last dialog was to start from.
    static QString lastProposal() { return s_lastProposal; }

private:
    static bool takeNext(QString& fileName);
    static QStringList s_next;
    static QString s_lastProposal;
};
