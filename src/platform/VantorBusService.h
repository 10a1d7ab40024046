#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantList>

#include <optional>

class AppState;

// Vantor's face on the session bus: it owns com.quorvel.vantor, so a second copy finds the
// first instead of polling twice, and exports /com/quorvel/vantor with Refresh, ShowPopover
// and ShowSettings (each answers at once and only emits the matching Qt signal) and the
// read-only properties Snapshots and Availability in their stored JSON form, announced through
// org.freedesktop.DBus.Properties.PropertiesChanged. The static helpers are the other side,
// for a second start and the status command; every call they make is bounded.
class VantorBusService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.quorvel.vantor")
    Q_PROPERTY(QString Snapshots READ snapshotsJson)
    Q_PROPERTY(QString Availability READ availabilityJson)

public:
    static inline const QString serviceName = QStringLiteral("com.quorvel.vantor");
    static inline const QString objectPath = QStringLiteral("/com/quorvel/vantor");
    static inline const QString interfaceName = QStringLiteral("com.quorvel.vantor");
    static constexpr int defaultTimeoutMs = 2000;
    static constexpr qsizetype maxReportBytes = 64 * 1024;

    explicit VantorBusService(AppState& state, QObject* parent = nullptr);
    ~VantorBusService() override;

    // Exports the object and takes the name; false when another process owns it (or the bus
    // refuses), and then nothing stays exported.
    bool registerOn(QDBusConnection bus);

    // The snapshots as the stored JSON array, in provider order.
    QString snapshotsJson() const;
    // {"codex": <availability>, "claude": <availability>}, absent entries left out.
    QString availabilityJson() const;

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
    // Claude's windows as read elsewhere (Claude Code's status line), in the usage endpoint's
    // JSON form; a body larger than maxReportBytes is ignored.
    Q_SCRIPTABLE void ReportClaudeUsage(const QString& body);

Q_SIGNALS:
    void refreshRequested();
    void showPopoverRequested();
    void showSettingsRequested();
    void claudeUsageReported(const QByteArray& body);

private:
    void announce(const QString& property, const QString& value);

    AppState& state_;
    std::optional<QDBusConnection> bus_;
};
