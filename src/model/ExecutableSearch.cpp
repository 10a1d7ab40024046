#include "ExecutableSearch.h"

#include <QStandardPaths>

QStringList ExecutableSearch::folders(const QString& pathVariable) {
    QStringList found = pathVariable.split(u':');
    found.removeIf([](const QString& entry) { return !entry.startsWith(u'/'); });
    return found;
}

QString ExecutableSearch::find(const QString& name) {
    const QStringList searched = folders(qEnvironmentVariable("PATH"));
    // Given no folder, Qt would search a PATH of its own.
    return searched.isEmpty() ? QString() : QStandardPaths::findExecutable(name, searched);
}
