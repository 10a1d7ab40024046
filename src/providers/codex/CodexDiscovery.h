#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

// Finds the codex executable to launch. Nothing is cached: every call searches again, so
// installing or removing Codex while Vantor runs is noticed at the next check.
namespace CodexDiscovery {

// The first candidate the current user may execute, or no value. Behind npm's node launcher
// it is the native program the launcher would start.
std::optional<QUrl> executableURL();

// For npm's node launcher (.../@openai/codex/bin/codex.js) the native program it starts, which
// would otherwise run as a grandchild that outlives Vantor when Vantor is killed; else the path.
QString nativeProgram(const QString& path);

// Every place searched, in order: one per search folder of PATH, then the usual install
// folders a desktop session's PATH often lacks (the newest nvm node folder last).
QStringList candidatePaths(const QString& pathVariable, const QString& home);

// Of the nvm node folders under home, the one with the highest version, or an empty text.
QString newestNvmNodeFolder(const QString& home);

}  // namespace CodexDiscovery
