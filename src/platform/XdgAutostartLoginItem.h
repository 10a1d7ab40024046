#pragma once

#include "LoginItemService.h"

#include <QString>
#include <QStringList>

// Starts Vantor at login through an XDG autostart entry, com.quorvel.vantor.desktop in
// $XDG_CONFIG_HOME/autostart, whose Exec is the absolute path of this executable.
//
// Status: no entry is notRegistered. An entry the user switched off in the desktop's own tool
// (Hidden=true, X-GNOME-Autostart-enabled=false) is requiresApproval: only the user turns it
// back on, so the first launch leaves it alone. An entry that starts this executable is
// enabled. An entry that starts some other program (another copy of Vantor, a wrapper the user
// wrote) is notFound: it is not ours, so the first launch leaves it alone and unregistering
// refuses to delete it; registering, which only the user's switch does then, replaces it.
class XdgAutostartLoginItem final : public LoginItemService {
public:
    static inline const QString entryName = QStringLiteral("com.quorvel.vantor.desktop");

    // Defaults: the running executable, $XDG_CONFIG_HOME/autostart and installPrefixes().
    explicit XdgAutostartLoginItem(QString executable = {}, QString autostartFolder = {},
                                   QStringList prefixes = {});

    // /usr, /usr/local, /opt and ~/.local.
    static QStringList installPrefixes();
    QString entryPath() const;

    Status status() const override;
    void registerItem() override;
    void unregisterItem() override;
    bool isInstalledLocation() const override;

    // The entry's text for an executable.
    static QByteArray entryText(const QString& executable);

private:
    QString executable_;
    QString folder_;
    QStringList prefixes_;
};
