#pragma once

#include <QByteArray>
#include <QString>

// A file's SHA-256, to show that a step left the file byte for byte as it was; empty when unreadable.
QByteArray FileDigest(const QString& path);
