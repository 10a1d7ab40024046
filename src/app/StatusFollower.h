#pragma once

#include "StatusReport.h"

#include <QByteArray>
#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QTimer>

#include <memory>

class QSocketNotifier;

// `vantor status --waybar --follow`, for Waybar's continuous mode: one line at once, then one
// more whenever the line would read otherwise. What changes it is announced, never polled: the
// running Vantor's PropertiesChanged, its coming and going on the bus (the stored view while
// none runs) and the instant a countdown in it changes.
class StatusFollower : public QObject {
    Q_OBJECT

public:
    // Writes to the file descriptor fd; a pipe whose reader is gone ends the follow.
    StatusFollower(QDBusConnection bus, int fd, QObject* parent = nullptr);
    ~StatusFollower() override;

    // Watches first, then reads, so that no change falls in between.
    void start();

Q_SIGNALS:
    // The reader is gone.
    void finished();

private Q_SLOTS:
    void propertiesChanged(const QString& interface, const QVariantMap& changed,
                           const QStringList& invalidated);

private:
    void reload();
    void show();
    void armClock(Instant now);
    void checkOutput();

    QDBusConnection bus_;
    int fd_;
    StatusReport report_;
    QByteArray shown_;
    bool ended_ = false;
    // Several properties change at once: one read for them all.
    QTimer reload_;
    QTimer clock_;
    QDBusServiceWatcher watcher_;
    std::unique_ptr<QSocketNotifier> output_;
};
