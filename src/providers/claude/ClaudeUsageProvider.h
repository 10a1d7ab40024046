#pragma once

#include "BootClock.h"
#include "Instant.h"
#include "RecentAnswers.h"
#include "UsageProvider.h"

#include <QByteArray>
#include <QSslConfiguration>
#include <QUrl>

#include <chrono>
#include <memory>
#include <optional>

class ClaudeCredentialReader;
class ClaudeKeychain;
class ClaudePauseStore;
class QNetworkAccessManager;
class QNetworkReply;

// The usage provider for one Claude Code account: the token Claude Code left in the account's
// folder (for the default account the keychain first) and one HTTPS GET of the OAuth usage
// endpoint. The token never appears in an error text and is kept only as a digest.
class ClaudeUsageProvider final : public UsageProvider {
public:
    static inline const QString usagePath = QStringLiteral("/api/oauth/usage");
    static constexpr std::chrono::milliseconds defaultTransferTimeout{20'000};
    // A larger body is not read further and counts as unusable.
    static constexpr qint64 maxBodySize = 1 << 20;
    // After a 429 the endpoint rests for its retry-after, but never less than the first and
    // never more than the second.
    static constexpr double minimumPauseSeconds = 300.0;
    static constexpr double maximumPauseSeconds = 3600.0;
    // The endpoint is asked at most once in this time with the same token, whoever asks for a
    // refresh (the bus, the menu, a wake) and for whichever account holds it: within it the
    // last answer is answered again.
    static constexpr std::chrono::milliseconds minimumAskInterval{60'000};
    // What the user is told after a refused token (401 also after reading the credentials
    // again) or one without the user:profile scope (403, as `claude setup-token` makes).
    // In the interface's language.
    static QString sessionExpiredText();
    static QString missingScopeText();

    static QUrl defaultEndpoint();

    // One answer of the endpoint: transport failures, oversized bodies and refused redirects
    // are thrown; the body is kept only for a 200.
    struct Answer {
        int status = 0;
        QByteArray body;
        QByteArray retryAfter;
    };

    // What the providers of all accounts share: one network manager, made with the first
    // request, and the endpoint's recent answers by token, so that folders holding the same
    // token ask once.
    struct Shared {
        Shared();
        ~Shared();
        Shared(const Shared&) = delete;
        Shared& operator=(const Shared&) = delete;

        // With the account that asked: its own answer is taken again for minimumAskInterval,
        // another account's for RecentAnswers::acrossAccounts.
        struct Asked {
            ProviderID by;
            Answer answer;
        };
        RecentAnswers<Asked> answers{RecentAnswers<Asked>::acrossAccounts};
        std::unique_ptr<QNetworkAccessManager> network;
    };

    // `folder` is the account's: its .credentials.json is read, and nothing else unless the
    // account is the default one, whose keychain item is looked up first and whose empty
    // folder stands for Claude Code's own choice (ClaudeCredentialReader::credentialsFilePath).
    // Without `shared` the provider shares with nobody. The keychain and the pause store (the
    // account's own) are borrowed and may be null: without a keychain only the file is read;
    // without a pause store a 429 pause lasts for this object.
    ClaudeUsageProvider(ProviderID id, QString folder, std::shared_ptr<Shared> shared,
                        ClaudeKeychain* keychain = nullptr, ClaudePauseStore* pauseStore = nullptr,
                        QUrl endpoint = defaultEndpoint(),
                        std::optional<QSslConfiguration> tls = std::nullopt,
                        std::chrono::milliseconds transferTimeout = defaultTransferTimeout);
    ~ClaudeUsageProvider() override;

    ClaudeUsageProvider(const ClaudeUsageProvider&) = delete;
    ClaudeUsageProvider& operator=(const ClaudeUsageProvider&) = delete;

    ProviderID id() const override { return id_; }
    QString displayName() const override { return QStringLiteral("Claude Code"); }
    QCoro::Task<ProviderAvailability> availability() override;
    QCoro::Task<ProviderUsageSnapshot> fetchUsage() override;
    std::optional<ProviderAvailability> failureAvailability() const override;

    // A version Claude Code itself reported (its status-line feed) wins over the installed
    // one read from disk; none: the installed one.
    void setReportedVersion(std::optional<QString> version);

    // The clock minimumAskInterval is measured on; the boot-time clock unless a test sets one.
    void setClock(BootClock::Function clock) { clock_ = std::move(clock); }

    // When the endpoint may be asked again after a 429, or no value when it may now.
    std::optional<Instant> pausedUntil(Instant now) const;
    // The pause a 429 with this retry-after header value calls for.
    static double pauseSeconds(const QByteArray& retryAfter, Instant now);

private:
    // The reader of this account's token.
    ClaudeCredentialReader reader() const;
    QCoro::Task<Answer> send(QString token, QByteArray userAgent);
    // send(), or the answer for the same token when one came within minimumAskInterval, to
    // this account or another.
    QCoro::Task<Answer> ask(QString token, QByteArray userAgent);
    void pause(Instant until);
    static ProviderAvailability rateLimited(Instant until);

    ProviderID id_;
    QString folder_;
    std::shared_ptr<Shared> shared_;
    ClaudeKeychain* keychain_;
    ClaudePauseStore* pauseStore_;
    QUrl endpoint_;
    // None: the default configuration, taken at the first request, so that a session that
    // never asks the endpoint never loads the TLS libraries.
    std::optional<QSslConfiguration> tls_;
    std::chrono::milliseconds transferTimeout_;
    // Stands in for the pause store when none was given.
    std::optional<Instant> localPause_;
    // Only ever a well-formed version.
    std::optional<QString> reportedVersion_;
    BootClock::Function clock_ = &BootClock::now;
    // What the last failed fetch means for the user, when more than "couldn't be refreshed".
    std::optional<ProviderAvailability> lastFailure_;
};
