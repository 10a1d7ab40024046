#include "ClaudeCredentialReader.h"

#include "ClaudeKeychain.h"
#include "RegularFile.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <utility>

namespace {

const QLatin1String snakeKey("access_token");
const QLatin1String camelKey("accessToken");
// Claude Code's own sign-in. Beside it the same document keeps what it holds for others: MCP
// servers' OAuth tokens and plugins' secrets, which must never go to the usage endpoint.
const QLatin1String ownEntryKey("claudeAiOauth");
const std::array<QLatin1String, 2> othersKeys{QLatin1String("mcpOAuth"),
                                              QLatin1String("pluginSecrets")};
const std::array<QLatin1String, 2> serverKeys{QLatin1String("serverName"),
                                              QLatin1String("serverUrl")};

// An object that names another server holds that server's credentials.
bool namesServer(const QJsonObject& object) {
    return std::any_of(serverKeys.begin(), serverKeys.end(),
                       [&object](QLatin1String key) { return object.contains(key); });
}

// Claude Code writes "" after a failed refresh; a control character would let the token
// break out of the Authorization header.
bool usableToken(QStringView text) {
    if (text.isEmpty()) {
        return false;
    }
    return std::none_of(text.begin(), text.end(),
                        [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

// JSON text is UTF-8; Qt's reader lets some invalid bytes through inside strings.
bool isUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);  // decoding happens on conversion
    return !decoder.hasError();
}

std::optional<ClaudeCredentials> ownToken(const QJsonObject& object, QLatin1String key) {
    const QJsonValue value = object.value(key);
    if (!value.isString() || !usableToken(value.toString())) {
        return std::nullopt;
    }
    ClaudeCredentials found{value.toString(), std::nullopt};
    const QJsonValue expiry = object.value(QLatin1String("expiresAt"));
    // A year past 9999 or a negative time is no expiry anyone wrote on purpose.
    if (expiry.isDouble() && expiry.toDouble() > 0.0 && expiry.toDouble() < 253402300800000.0) {
        found.expiresAt = Instant::fromUnixSeconds(expiry.toDouble() / 1000.0);
    }
    return found;
}

}  // namespace

ClaudeCredentialReader::ClaudeCredentialReader(ClaudeKeychain* keychain, QString filePath)
    : keychain_(keychain), filePath_(std::move(filePath)) {}

QCoro::Task<std::optional<QString>> ClaudeCredentialReader::token() const {
    const std::optional<ClaudeCredentials> found = co_await credentials();
    co_return found ? std::optional(found->accessToken) : std::nullopt;
}

QCoro::Task<std::optional<ClaudeCredentials>> ClaudeCredentialReader::credentials() const {
    ClaudeKeychain* const keychain = keychain_;
    const QString path = filePath_.isEmpty() ? credentialsFilePath() : filePath_;
    if (keychain) {
        const std::optional<QByteArray> secret = co_await keychain->secret(keychainService);
        if (secret) {
            if (auto found = fromKeychainSecret(*secret)) {
                co_return found;
            }
        }
    }
    co_return fromFile(path);
}

QString ClaudeCredentialReader::credentialsFilePath(const QString& folder) {
    const QString configDir = folder.isEmpty() ? qEnvironmentVariable("CLAUDE_CONFIG_DIR") : folder;
    const QString base =
        configDir.isEmpty() ? QDir::homePath() + QStringLiteral("/.claude") : configDir;
    return base + QStringLiteral("/.credentials.json");
}

std::optional<ClaudeCredentials> ClaudeCredentialReader::fromKeychainSecret(
    const QByteArray& secret) {
    if (!isUtf8(secret)) {
        return std::nullopt;
    }
    const QJsonDocument document = QJsonDocument::fromJson(secret);
    if (document.isObject()) {
        return fromDocument(document.object());
    }
    const QString text = QString::fromUtf8(secret);
    if (text.startsWith(QLatin1String("ey")) && usableToken(text)) {
        return ClaudeCredentials{text, std::nullopt};
    }
    return std::nullopt;
}

std::optional<ClaudeCredentials> ClaudeCredentialReader::fromFileContents(
    const QByteArray& contents) {
    if (!isUtf8(contents)) {
        return std::nullopt;
    }
    const QJsonDocument document = QJsonDocument::fromJson(contents);
    if (!document.isObject()) {
        return std::nullopt;
    }
    return fromDocument(document.object());
}

std::optional<ClaudeCredentials> ClaudeCredentialReader::fromDocument(const QJsonObject& document) {
    // Where Claude Code's own entry exists, a signed-out one means no token: a search would
    // find some other service's.
    if (const auto own = document.constFind(ownEntryKey); own != document.constEnd()) {
        return find(*own);
    }
    return find(document);
}

std::optional<QByteArray> ClaudeCredentialReader::readRegularFile(const QString& path,
                                                                  qint64 limit) {
    return RegularFile::read(path, limit);
}

std::optional<ClaudeCredentials> ClaudeCredentialReader::fromFile(const QString& path) {
    const std::optional<QByteArray> contents = readRegularFile(path, maxFileSize);
    if (!contents) {
        return std::nullopt;
    }
    return fromFileContents(*contents);
}

std::optional<ClaudeCredentials> ClaudeCredentialReader::find(const QJsonValue& value) {
    if (value.isObject()) {
        const QJsonObject object = value.toObject();
        if (namesServer(object)) {
            return std::nullopt;
        }
        if (auto token = ownToken(object, snakeKey)) {
            return token;
        }
        if (auto token = ownToken(object, camelKey)) {
            return token;
        }
        for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
            if (std::find(othersKeys.begin(), othersKeys.end(), it.key()) != othersKeys.end()) {
                continue;
            }
            if (auto token = find(it.value())) {
                return token;
            }
        }
        return std::nullopt;
    }
    if (value.isArray()) {
        const QJsonArray array = value.toArray();
        for (const QJsonValue& element : array) {
            if (auto token = find(element)) {
                return token;
            }
        }
    }
    return std::nullopt;
}
