#include "FileDigest.h"

#include <QCryptographicHash>
#include <QFile>

QByteArray FileDigest(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}
