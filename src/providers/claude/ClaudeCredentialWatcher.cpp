#include "ClaudeCredentialWatcher.h"

#include "ClaudeCredentialReader.h"

#include <QCryptographicHash>
#include <QFileInfo>

ClaudeCredentialWatcher::ClaudeCredentialWatcher(QString path,
                                                 std::chrono::milliseconds settleDelay,
                                                 QObject* parent)
    : QObject(parent), path_(std::move(path)) {
    settle_.setSingleShot(true);
    settle_.setInterval(settleDelay);
    connect(&settle_, &QTimer::timeout, this, &ClaudeCredentialWatcher::settled);
    const auto event = [this] {
        watch();
        settle_.start();
    };
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, event);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, event);
    last_ = fingerprint();
    watch();
}

void ClaudeCredentialWatcher::watch() {
    const QFileInfo file(path_);
    const QString folder = file.absolutePath();
    QStringList wanted;
    if (file.exists()) {
        wanted << file.absoluteFilePath();
    }
    wanted << (QFileInfo(folder).isDir() ? folder : QFileInfo(folder).absolutePath());
    QStringList watched = watcher_.files() + watcher_.directories();
    // A path whose file was replaced is still listed but no longer watched: add it afresh.
    if (!watched.isEmpty()) {
        watcher_.removePaths(watched);
    }
    for (const QString& path : wanted) {
        if (QFileInfo::exists(path)) {
            watcher_.addPath(path);
        }
    }
}

void ClaudeCredentialWatcher::settled() {
    const QByteArray now = fingerprint();
    if (now != last_) {
        last_ = now;
        Q_EMIT changed();
    }
}

QByteArray ClaudeCredentialWatcher::fingerprint() const {
    // A digest, so the token itself is not kept here.
    const std::optional<QByteArray> contents =
        ClaudeCredentialReader::readRegularFile(path_, ClaudeCredentialReader::maxFileSize);
    if (!contents) {
        return {};
    }
    return QCryptographicHash::hash(*contents, QCryptographicHash::Sha256);
}
