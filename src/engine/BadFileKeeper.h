#pragma once

#include <QString>
#include <QStringList>

// Keeps files that did not read beside the original, for a look, as "<name>.bad.<n>": the
// newest has the highest number, and only the newest few stay. A plain "<name>.bad" left by an
// earlier release counts as the oldest. Only a program that is about to write over a file sets
// it aside; one that only reads leaves every file as it is.
class BadFileKeeper {
public:
    static constexpr qsizetype kept = 3;
    enum class Method { move, copy };

    // Moves or copies the file at path aside, then removes the copies beyond the newest kept.
    // False when the file could not be set aside: it is then still where it was, and whoever
    // meant to write over it should not.
    static bool setAside(const QString& path, Method method);
    // The set-aside copies of path, oldest first.
    static QStringList copies(const QString& path);
};
