#pragma once

#include <QByteArray>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>

// Tells when Claude Code's credentials file changed, so a renewed token or a new sign-in is
// used soon rather than at the next poll. Claude Code replaces the file by renaming a new one
// over it, which ends a watch on the file itself: the folder is watched too (its parent while
// it does not exist yet) and the watch renewed after every event. Events only count when the
// file's bytes changed, so noise in a watched folder is ignored.
class ClaudeCredentialWatcher : public QObject {
    Q_OBJECT

public:
    // Writers touch the file more than once per change: one signal per burst, this long after
    // its last event.
    static constexpr std::chrono::milliseconds defaultSettleDelay{2000};

    explicit ClaudeCredentialWatcher(QString path,
                                     std::chrono::milliseconds settleDelay = defaultSettleDelay,
                                     QObject* parent = nullptr);

Q_SIGNALS:
    // The file was written, replaced, created or removed.
    void changed();

private:
    void watch();
    void settled();
    QByteArray fingerprint() const;

    QString path_;
    QFileSystemWatcher watcher_;
    QTimer settle_;
    QByteArray last_;
};
