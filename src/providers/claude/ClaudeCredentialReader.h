#pragma once

#include "ClaudeCredentials.h"

#include <QByteArray>
#include <QCoroTask>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <optional>

class ClaudeKeychain;

// Finds the OAuth access token that Claude Code leaves on the machine: first in the keychain,
// then in a credentials file. Read-only and uncached: every call reads both sources again.
// A value type; the provider makes one per call.
class ClaudeCredentialReader {
public:
    static inline const QString keychainService = QStringLiteral("com.anthropic.claude-code");
    // Larger credentials files are not read: the real one is a few hundred bytes.
    static constexpr qint64 maxFileSize = 1 << 20;

    // Without a keychain only the file is read; an empty path stands for credentialsFilePath().
    explicit ClaudeCredentialReader(ClaudeKeychain* keychain = nullptr, QString filePath = {});

    // The token, or no value. Never throws: every problem counts as no token from that source.
    QCoro::Task<std::optional<QString>> token() const;
    // The token with its expiry ("expiresAt", milliseconds since 1970, beside the token).
    QCoro::Task<std::optional<ClaudeCredentials>> credentials() const;

    // The credentials file of an account's folder; for none, $CLAUDE_CONFIG_DIR/.credentials.json
    // when that variable is set, else ~/.claude/.credentials.json.
    static QString credentialsFilePath(const QString& folder = {});

    // The steps of token(), each on its own so that tests and fuzzers can reach them.
    // A keychain secret: a JSON object searched for a token, else bare text beginning "ey".
    static std::optional<ClaudeCredentials> fromKeychainSecret(const QByteArray& secret);
    // The credentials file's bytes: a JSON object searched for a token; no bare text form.
    static std::optional<ClaudeCredentials> fromFileContents(const QByteArray& contents);
    static std::optional<ClaudeCredentials> fromFile(const QString& path);
    // The bytes of a regular file of at most `limit` bytes; no value for anything else
    // (missing, unreadable, larger, or not a regular file, such as a FIFO).
    static std::optional<QByteArray> readRegularFile(const QString& path, qint64 limit);
    // A parsed document: the token of Claude Code's own entry ("claudeAiOauth") when the
    // document has one, else what find() finds in the whole document.
    static std::optional<ClaudeCredentials> fromDocument(const QJsonObject& document);
    // Depth first: an object's own "access_token", then its own "accessToken", then its
    // members in order; arrays element by element. Never enters what Claude Code keeps for
    // others ("mcpOAuth", "pluginSecrets") nor an object that names a server ("serverName",
    // "serverUrl"): their tokens belong to those servers. Empty strings and values that could not
    // travel in an HTTP header (control characters) are not tokens and the search goes on.
    // The expiry is the "expiresAt" number of the object that holds the token.
    static std::optional<ClaudeCredentials> find(const QJsonValue& value);

private:
    ClaudeKeychain* keychain_;
    QString filePath_;
};
