#include "ClaudeDesktopDiscovery.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace ClaudeDesktopDiscovery {

QStringList applicationFolders() {
    QStringList folders = QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    for (const QString& folder : {dataHome + QStringLiteral("/flatpak/exports/share/applications"),
                                  QStringLiteral("/var/lib/flatpak/exports/share/applications")}) {
        if (!folders.contains(folder)) {
            folders.append(folder);
        }
    }
    return folders;
}

bool isInstalled() {
    return isInstalled(applicationFolders());
}

bool isInstalled(const QStringList& folders) {
    for (const QString& folder : folders) {
        for (const QString& name : desktopEntryNames) {
            if (QFileInfo(QDir(folder), name).isFile()) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace ClaudeDesktopDiscovery
