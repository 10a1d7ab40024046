#pragma once

#include <QStringList>

// Whether the Claude desktop application is installed: a desktop entry under one of its two
// known names in an applications folder. Computed afresh on every call.
namespace ClaudeDesktopDiscovery {

inline const QStringList desktopEntryNames{QStringLiteral("com.anthropic.claudefordesktop.desktop"),
                                           QStringLiteral("claude-desktop.desktop")};

// The XDG applications folders, then the Flatpak export folders, which a desktop session
// started without Flatpak's profile script lacks in XDG_DATA_DIRS.
QStringList applicationFolders();

bool isInstalled();
bool isInstalled(const QStringList& folders);

}  // namespace ClaudeDesktopDiscovery
