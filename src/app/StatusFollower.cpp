#include "StatusFollower.h"

#include "Countdown.h"
#include "QSettingsDefaults.h"
#include "VantorBusService.h"

#include <QLocale>
#include <QSocketNotifier>

#include <cerrno>

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

StatusFollower::StatusFollower(QDBusConnection bus, int fd, QObject* parent)
    : QObject(parent),
      bus_(std::move(bus)),
      fd_(fd),
      watcher_(VantorBusService::serviceName, bus_, QDBusServiceWatcher::WatchForOwnerChange) {
    reload_.setSingleShot(true);
    reload_.setInterval(0);
    connect(&reload_, &QTimer::timeout, this, &StatusFollower::reload);
    clock_.setSingleShot(true);
    clock_.setTimerType(Qt::PreciseTimer);
    connect(&clock_, &QTimer::timeout, this, &StatusFollower::show);
    connect(&watcher_, &QDBusServiceWatcher::serviceOwnerChanged, &reload_,
            qOverload<>(&QTimer::start));
    // Only a pipe tells that its reader left while nothing is written: a terminal or a file
    // would wake the loop for nothing.
    struct stat status {};
    if (::fstat(fd_, &status) == 0 && S_ISFIFO(status.st_mode)) {
        output_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
        connect(output_.get(), &QSocketNotifier::activated, this, &StatusFollower::checkOutput);
    }
}

StatusFollower::~StatusFollower() = default;

void StatusFollower::start() {
    // By the name, not its owner: Qt follows the name to whichever process owns it next.
    bus_.connect(VantorBusService::serviceName, VantorBusService::objectPath,
                 QStringLiteral("org.freedesktop.DBus.Properties"),
                 QStringLiteral("PropertiesChanged"), this,
                 SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
    reload();
}

void StatusFollower::propertiesChanged(const QString& interface, const QVariantMap& changed,
                                       const QStringList& invalidated) {
    if (interface != VantorBusService::interfaceName) {
        return;
    }
    for (const char* name : {"Snapshots", "Availability", "Accounts"}) {
        if (changed.contains(QLatin1String(name)) || invalidated.contains(QLatin1String(name))) {
            reload_.start();
            return;
        }
    }
}

void StatusFollower::reload() {
    std::optional<StatusReport> report = StatusReport::fromRunning(bus_);
    if (!report) {
        QSettingsDefaults defaults;
        report = StatusReport::fromStored(defaults);
    }
    report_ = std::move(*report);
    show();
}

void StatusFollower::show() {
    if (ended_) {
        return;
    }
    const Instant now = Instant::now();
    armClock(now);
    const QByteArray line = report_.waybar(now, QLocale()) + '\n';
    if (line == shown_) {
        return;
    }
    shown_ = line;
    qsizetype written = 0;
    while (written < line.size()) {
        const ssize_t count = ::write(fd_, line.constData() + written,
                                      static_cast<std::size_t>(line.size() - written));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            ended_ = true;
            Q_EMIT finished();
            return;
        }
        written += count;
    }
}

// At the next instant a countdown of the line reads otherwise: a spent headline's "2h" in the
// text, the reset phrases of the tooltip, a reset time passing. Nothing to count, no wake-up.
void StatusFollower::armClock(Instant now) {
    QList<Instant> moments;
    for (const ProviderUsageSnapshot& snapshot : std::as_const(report_.snapshots)) {
        moments += Countdown::moments(snapshot);
    }
    const std::optional<Instant> next =
        Countdown::earliest(Countdown::nextChange(now, moments, Countdown::Form::shortDuration),
                            Countdown::nextChange(now, moments, Countdown::Form::resetPhrase));
    if (next) {
        clock_.start(Countdown::waitMs(now, *next));
    } else {
        clock_.stop();
    }
}

void StatusFollower::checkOutput() {
    pollfd output{.fd = fd_, .events = 0, .revents = 0};
    if (::poll(&output, 1, 0) == 1 && (output.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
        output_->setEnabled(false);
        ended_ = true;
        Q_EMIT finished();
    }
}
