#include "LogindWakeSource.h"

LogindWakeSource::LogindWakeSource(QDBusConnection bus, QObject* parent)
    : WakeSource(parent), bus_(std::move(bus)) {
    // Matches only signals sent by whoever owns the logind name, not any look-alike.
    bus_.connect(QStringLiteral("org.freedesktop.login1"),
                 QStringLiteral("/org/freedesktop/login1"),
                 QStringLiteral("org.freedesktop.login1.Manager"),
                 QStringLiteral("PrepareForSleep"), this, SLOT(prepareForSleep(bool)));
}

void LogindWakeSource::prepareForSleep(bool suspending) {
    if (!suspending) {
        Q_EMIT woke();
    }
}
