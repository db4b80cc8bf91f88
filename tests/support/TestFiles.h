#pragma once
// Whole-file reads and writes for tests that check the bytes of saved and loaded files.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <sys/mount.h>

inline QByteArray readBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeBytes(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A file system of 8 KB for the full-disk cases; mounting needs root, so `mounted` may be false.
struct SmallDisk {
    explicit SmallDisk(const QString &path) : path(path) {
        QDir().mkpath(path);
        mounted = ::mount("tmpfs", qPrintable(path), "tmpfs", 0, "size=8k") == 0;
    }
    ~SmallDisk() {
        if (mounted)
            ::umount2(qPrintable(path), MNT_DETACH);
    }
    QString path;
    bool mounted = false;
};
