#include "UsageHistory.h"

#include "BadFileKeeper.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <cmath>

namespace {

// The file is a few dozen kilobytes; anything far larger is not ours.
constexpr qint64 maxFileBytes = 16 * 1024 * 1024;

QString key(ProviderID provider, const QString& windowID) {
    return rawValue(provider) + u'.' + windowID;
}

}  // namespace

UsageHistory::UsageHistory(QString path) : path_(std::move(path)) {}

QString UsageHistory::standardPath() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state)) {
        state = QDir::homePath() + QStringLiteral("/.local/state");
    }
    return state + QStringLiteral("/vantor/history.json");
}

void UsageHistory::load() const {
    if (loaded_) {
        return;
    }
    loaded_ = true;
    QFile file(path_);
    if (!file.exists()) {
        return;
    }
    QJsonParseError error{};
    const QJsonDocument document = file.size() <= maxFileBytes && file.open(QIODevice::ReadOnly)
                                       ? QJsonDocument::fromJson(file.readAll(), &error)
                                       : QJsonDocument();
    file.close();
    if (!document.isObject()) {
        unreadable_ = true;
        return;
    }
    const QJsonObject root = document.object();
    for (auto it = root.begin(); it != root.end(); ++it) {
        Window window;
        const QJsonValue reset = it.value()[QLatin1String("resetAt")];
        if (reset.isDouble()) {
            window.resetAt = Instant::fromUnixSeconds(reset.toDouble());
        }
        for (const QJsonValue pair : it.value()[QLatin1String("readings")].toArray()) {
            const QJsonArray values = pair.toArray();
            if (values.size() == 2 && values[0].isDouble() && values[1].isDouble()) {
                window.readings.append(
                    {Instant::fromUnixSeconds(values[0].toDouble()), values[1].toDouble()});
            }
        }
        windows_.insert(it.key(), window);
    }
}

void UsageHistory::save() const {
    // Kept for a look rather than written over; while it cannot be moved, nothing is written.
    if (unreadable_ && !BadFileKeeper::setAside(path_, BadFileKeeper::Method::move)) {
        return;
    }
    unreadable_ = false;
    QJsonObject root;
    for (auto it = windows_.cbegin(); it != windows_.cend(); ++it) {
        QJsonArray readings;
        for (const Reading& reading : it->readings) {
            readings.append(QJsonArray{reading.at.unixSeconds(), reading.usedPercent});
        }
        QJsonObject window{{QStringLiteral("readings"), readings}};
        if (it->resetAt) {
            window.insert(QStringLiteral("resetAt"), it->resetAt->unixSeconds());
        }
        root.insert(it.key(), window);
    }
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QSaveFile file(path_);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QJsonDocument(root).toJson(QJsonDocument::Compact));
        file.commit();
    }
}

void UsageHistory::record(const ProviderUsageSnapshot& snapshot) {
    load();
    const QString prefix = rawValue(snapshot.providerID) + u'.';
    QHash<QString, Window> kept;
    for (auto it = windows_.cbegin(); it != windows_.cend(); ++it) {
        if (!it.key().startsWith(prefix)) {
            kept.insert(it.key(), *it);
        }
    }
    for (const UsageWindowSnapshot& window : snapshot.windows) {
        Window entry = windows_.value(key(snapshot.providerID, window.id));
        // A reading of a period that already ended (a stray one after a reset) is not kept.
        if (UsageWindowSnapshot::earlierReset(window.resetAt, entry.resetAt)) {
            kept.insert(key(snapshot.providerID, window.id), entry);
            continue;
        }
        if (!UsageWindowSnapshot::sameReset(entry.resetAt, window.resetAt)) {
            entry.readings.clear();
        }
        entry.resetAt = window.resetAt;
        if (window.usedPercent && std::isfinite(*window.usedPercent)) {
            entry.readings.append({window.observedAt, *window.usedPercent});
        }
        if (entry.readings.size() > readingLimit) {
            entry.readings.remove(0, entry.readings.size() - readingLimit);
        }
        kept.insert(key(snapshot.providerID, window.id), entry);
    }
    windows_ = kept;
    save();
}

QList<UsageHistory::Reading> UsageHistory::readings(ProviderID provider,
                                                    const QString& windowID) const {
    load();
    return windows_.value(key(provider, windowID)).readings;
}

std::optional<UsageHistory::Projection> UsageHistory::project(const QList<Reading>& readings,
                                                              std::optional<Instant> resetAt) {
    if (readings.size() < projectionReadings ||
        readings.last().at.secondsSince(readings.first().at) < projectionSpanSeconds ||
        readings.last().usedPercent >= 100.0) {
        return std::nullopt;
    }
    // Least squares over the period's readings: one noisy reading moves it little.
    double meanT = 0.0;
    double meanU = 0.0;
    for (const Reading& reading : readings) {
        meanT += reading.at.secondsSince(readings.first().at);
        meanU += reading.usedPercent;
    }
    const auto count = static_cast<double>(readings.size());
    meanT /= count;
    meanU /= count;
    double covariance = 0.0;
    double variance = 0.0;
    for (const Reading& reading : readings) {
        const double t = reading.at.secondsSince(readings.first().at) - meanT;
        covariance += t * (reading.usedPercent - meanU);
        variance += t * t;
    }
    const double slope = variance > 0.0 ? covariance / variance : 0.0;  // percent per second
    if (slope <= 0.0) {
        return resetAt ? std::optional(Projection{}) : std::nullopt;
    }
    const Instant runsOut =
        readings.last().at.addingSeconds((100.0 - readings.last().usedPercent) / slope);
    if (resetAt && runsOut.secondsSince(*resetAt) >= 0.0) {
        return Projection{};
    }
    return Projection{runsOut};
}
