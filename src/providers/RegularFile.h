#pragma once

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <optional>

// Files the providers read from the user's folders (sign-ins, package manifests): small, and
// never anything but a regular file.
namespace RegularFile {

// The bytes of a regular file of at most `limit` bytes; no value for anything else (missing,
// unreadable, larger, or not a regular file, such as a FIFO, whose opening would block forever).
inline std::optional<QByteArray> read(const QString& path, qint64 limit) {
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > limit) {
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    // One byte more tells a file that grew since it was measured.
    QByteArray contents = file.read(limit + 1);
    if (contents.size() > limit) {
        return std::nullopt;
    }
    return contents;
}

}  // namespace RegularFile
