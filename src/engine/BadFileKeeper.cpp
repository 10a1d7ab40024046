#include "BadFileKeeper.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace {

// Each copy with its number: 0 for the plain ".bad", n for ".bad.<n>"; anything else that
// starts the same way is not ours and stays.
QList<std::pair<qint64, QString>> numbered(const QString& path) {
    const QFileInfo original(path);
    const QString stem = original.fileName() + QStringLiteral(".bad");
    QList<std::pair<qint64, QString>> found;
    const QDir folder = original.absoluteDir();
    for (const QString& name :
         folder.entryList({stem + u'*'}, QDir::Files | QDir::Hidden | QDir::System)) {
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
    const QList<std::pair<qint64, QString>> existing = numbered(path);
    const qint64 next = existing.isEmpty() ? 1 : existing.last().first + 1;
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
    for (const auto& copy : numbered(path)) {
        paths.append(copy.second);
    }
    return paths;
}
