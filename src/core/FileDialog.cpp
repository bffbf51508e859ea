#include "FileDialog.h"

#include <QFileDialog>

QStringList FileDialog::s_next;
QString FileDialog::s_lastProposal;

void FileDialog::setNextFileName(const QString& fileName)
{
    s_next << fileName;
}

bool FileDialog::takeNext(QString& fileName)
{
    if (s_next.isEmpty())
        return false;
    fileName = s_next.takeFirst();
    return true;
}

QString FileDialog::getSaveFileName(QWidget* parent, const QString& caption, const QString& proposedPath,
                                    const QString& filter)
{
    s_lastProposal = proposedPath;
    QString fileName;
    if (takeNext(fileName))
        return fileName;
    return QFileDialog::getSaveFileName(parent, caption, proposedPath, filter);
}

QString FileDialog::getOpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                                    const QString& filter)
{
    s_lastProposal = folder;
    QString fileName;
    if (takeNext(fileName))
        return fileName;
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}
