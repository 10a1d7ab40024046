#pragma once

#include <QString>
#include <QStringList>

// Finds a program the way a shell does, but only in the absolute folders of PATH: an empty or
// relative entry names whatever folder Vantor happens to run in, and nothing found there may
// be started or believed.
namespace ExecutableSearch {

// The absolute folders of a PATH value, in order.
QStringList folders(const QString& pathVariable);
// The program's absolute path in those folders of $PATH, or an empty string.
QString find(const QString& name);

}  // namespace ExecutableSearch
