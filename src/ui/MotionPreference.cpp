#include "MotionPreference.h"

#include "ExecutableSearch.h"

#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>

MotionPreference::MotionPreference(QObject* parent) : QObject(parent) {}

std::optional<bool> MotionPreference::reduceFromGnome(const QByteArray& output) {
    const QByteArray answer = output.trimmed();
    if (answer == "false") {
        return true;
    }
    if (answer == "true") {
        return false;
    }
    return std::nullopt;
}

std::optional<bool> MotionPreference::reduceFromKde(const QVariant& factor) {
    bool ok = false;
    const double value = factor.toDouble(&ok);
    if (!factor.isValid() || !ok) {
        return std::nullopt;
    }
    return value <= 0.0;
}

void MotionPreference::set(bool reduce) {
    if (reduce != reduce_) {
        reduce_ = reduce;
        Q_EMIT reduceMotionChanged(reduce);
    }
}

void MotionPreference::probe() {
    const QString kdeglobals =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
        QStringLiteral("/kdeglobals");
    if (QFile::exists(kdeglobals)) {
        const QSettings settings(kdeglobals, QSettings::IniFormat);
        if (const auto reduce =
                reduceFromKde(settings.value(QStringLiteral("KDE/AnimationDurationFactor")))) {
            set(*reduce);
        }
    }
    const QString gsettings = ExecutableSearch::find(QStringLiteral("gsettings"));
    if (gsettings.isEmpty()) {
        return;
    }
    auto* process = new QProcess(this);
    connect(process, &QProcess::finished, this, [this, process] {
        if (const auto reduce = reduceFromGnome(process->readAllStandardOutput())) {
            set(*reduce);
        }
        process->deleteLater();
    });
    connect(process, &QProcess::errorOccurred, process, &QObject::deleteLater);
    process->start(gsettings, {QStringLiteral("get"), QStringLiteral("org.gnome.desktop.interface"),
                               QStringLiteral("enable-animations")});
}
