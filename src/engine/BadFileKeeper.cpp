#include "BadFileKeeper.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace {

// Each entry of the given kinds named as a copy, with its number: 0 for the plain ".bad", n for
// ".bad.<n>"; anything else that starts the same way is not ours and stays.
QList<std::pair<qint64, QString>> numbered(const QString& path, QDir::Filters kinds) {
    const QFileInfo original(path);
    const QString stem = original.fileName() + QStringLiteral(".bad");
    QList<std::pair<qint64, QString>> found;
    const QDir folder = original.absoluteDir();
    for (const QString& name :
         folder.entryList({stem + u'*'}, kinds | QDir::Hidden | QDir::System)) {
        const QString suffix = name.mid(stem.size());
        bool ours = suffix.isEmpty();
        qint64 number = 0;
        if (suffix.size() > 1 && suffix.front() == u'.' && suffix.at(1).isDigit()) {
            number = suffix.mid(1).toUInt(&ours);
        }
        if (ours) {
            found.append({number, folder.filePath(name)});
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace

bool BadFileKeeper::setAside(const QString& path, Method method) {
    // A copy's name taken by something else (a folder) is passed over, or nothing could ever be
    // set aside again, and nothing written.
    const QList<std::pair<qint64, QString>> taken = numbered(path, QDir::AllEntries);
    const QList<std::pair<qint64, QString>> existing = numbered(path, QDir::Files);
    const qint64 next = taken.isEmpty() ? 1 : taken.last().first + 1;
    const QString target = path + QStringLiteral(".bad.") + QString::number(next);
    if (!(method == Method::move ? QFile::rename(path, target) : QFile::copy(path, target))) {
        return false;
    }
    for (qsizetype i = 0; i + kept - 1 < existing.size(); ++i) {
        QFile::remove(existing[i].second);
    }
    return true;
}

QStringList BadFileKeeper::copies(const QString& path) {
    QStringList paths;
    for (const auto& copy : numbered(path, QDir::Files)) {
        paths.append(copy.second);
    }
    return paths;
}
