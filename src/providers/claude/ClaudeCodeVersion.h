#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

// Which Claude Code is installed, read from files only: the usage endpoint answers 429 to any
// User-Agent that is not Claude Code's own, so the provider presents itself as the installed
// Claude Code. Never starts `claude`.
namespace ClaudeCodeVersion {

// Used when no installed version can be read: a recent release.
inline const QString fallback = QStringLiteral("2.1.332");

// "claude-cli/<version> (external, cli)", as Claude Code sends on this request.
QByteArray userAgent(const QString& version);
// Digits and dots as Claude Code numbers its releases, with an optional pre-release part;
// nothing that could break a header.
bool isVersion(QStringView text);

// The version of the `claude` on PATH (or at `executable`): a native install's executable is
// a link to versions/<version>, the npm package has its package.json a few folders above.
std::optional<QString> fromExecutable(const QString& executable);
// The newest release in a native install's versions folder.
std::optional<QString> fromVersionsFolder(const QString& folder);
// The `claude` on PATH, else the native install's versions folder
// ($XDG_DATA_HOME/claude/versions), else the fallback.
QString installed();

}  // namespace ClaudeCodeVersion
