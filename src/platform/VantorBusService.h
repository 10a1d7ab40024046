#pragma once

#include "UsageAccount.h"

#include <QByteArray>
#include <QDBusConnection>
#include <QJsonArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariantList>

#include <optional>

class AppState;

// Vantor's face on the session bus: it owns com.quorvel.vantor, so a second copy finds the
// first instead of polling twice, and exports /com/quorvel/vantor with Refresh, ShowPopover,
// ShowSettings and Quit (each answers at once and only emits the matching Qt signal) and the
// read-only properties Snapshots and Availability in their stored JSON form and Accounts,
// announced through org.freedesktop.DBus.Properties.PropertiesChanged. The static helpers are
// the other side, for a second start and the status command; every call they make is bounded.
class VantorBusService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.quorvel.vantor")
    Q_PROPERTY(QString Snapshots READ snapshotsJson)
    Q_PROPERTY(QString Availability READ availabilityJson)
    Q_PROPERTY(QString Accounts READ accountsJson)

public:
    static inline const QString serviceName = QStringLiteral("com.quorvel.vantor");
    static inline const QString objectPath = QStringLiteral("/com/quorvel/vantor");
    static inline const QString interfaceName = QStringLiteral("com.quorvel.vantor");
    static constexpr int defaultTimeoutMs = 2000;
    static constexpr qsizetype maxReportBytes = 64 * 1024;
    // A status line's CLAUDE_CONFIG_DIR: PATH_MAX; anything longer names no folder.
    static constexpr qsizetype maxConfigDirLength = 4096;

    explicit VantorBusService(AppState& state, QObject* parent = nullptr);
    ~VantorBusService() override;

    // Exports the object and takes the name; false when another process owns it (or the bus
    // refuses), and then nothing stays exported.
    bool registerOn(QDBusConnection bus);

    // The snapshots as the stored JSON array, in provider order.
    QString snapshotsJson() const;
    // {"codex": <availability>, "claude": <availability>}, absent entries left out.
    QString availabilityJson() const;
    // [{"provider": "claude@ab12", "name": "work", "watched": true}, ...]: every account,
    // watched or not, so that a reader can name the ids the other two properties use. The name
    // is the user's, empty for a default account never named.
    QString accountsJson() const;

    static QJsonArray encodeAccounts(const QList<UsageAccount>& accounts);
    // What the running copy says, believed within bounds: entries that do not read are left
    // out, and so is an id met before or beyond AccountDiscovery::maxPerProvider accounts of
    // its assistant (the default one always has its place); names are cleaned as stored ones
    // are (AccountDiscovery::cleanName). The folder stays empty.
    static QList<UsageAccount> decodeAccounts(const QByteArray& json);

    // Whether some process owns the name on this bus.
    static bool isRunning(QDBusConnection bus, int timeoutMs = defaultTimeoutMs);
    // Calls a method of the running instance; false when it did not answer in time.
    static bool call(QDBusConnection bus, const QString& method, int timeoutMs = defaultTimeoutMs,
                     const QVariantList& arguments = {});
    // Reads a property of the running instance; none when it did not answer in time.
    static std::optional<QString> property(QDBusConnection bus, const QString& name,
                                           int timeoutMs = defaultTimeoutMs);

public Q_SLOTS:
    Q_SCRIPTABLE void Refresh();
    // Shows the popover, never toggles it.
    Q_SCRIPTABLE void ShowPopover();
    Q_SCRIPTABLE void ShowSettings();
    // Ends Vantor as the tray's Quit does; whoever connects quitRequested quits only after the
    // answer went out.
    Q_SCRIPTABLE void Quit();
    // Claude's windows as read elsewhere (Claude Code's status line), in the usage endpoint's
    // JSON form; a body larger than maxReportBytes is ignored.
    Q_SCRIPTABLE void ReportClaudeUsage(const QString& body);
    // The same for the account whose folder is configDir (the CLAUDE_CONFIG_DIR the status
    // line ran with; empty for the default account). configDir is only passed on, never
    // opened; one longer than maxConfigDirLength is ignored with its body.
    Q_SCRIPTABLE void ReportClaudeUsageFrom(const QString& configDir, const QString& body);

Q_SIGNALS:
    void refreshRequested();
    void showPopoverRequested();
    void showSettingsRequested();
    void quitRequested();
    void claudeUsageReported(const QByteArray& body);
    void claudeUsageReportedFrom(const QString& configDir, const QByteArray& body);

private:
    void announce(const QString& property, const QString& value);

    AppState& state_;
    std::optional<QDBusConnection> bus_;
};
