#pragma once

#include "BootClock.h"
#include "RecentAnswers.h"
#include "UsageProvider.h"

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>

class CodexAppServerClient;

// The provider for one Codex account: installed when a codex executable can be found; a fetch
// launches it in app-server mode with the account's CODEX_HOME, reads the rate limits and shuts
// the child down again, returning only once the child has ended.
class CodexUsageProvider : public UsageProvider {
public:
    static constexpr std::chrono::milliseconds defaultRequestTimeout{10'000};
    static inline const QString rateLimitsMethod = QStringLiteral("account/rateLimits/read");
    static inline const QString signInFileName = QStringLiteral("auth.json");
    // Larger sign-in files are not read: the real one is a few kilobytes.
    static constexpr qint64 maxSignInFileSize = 1 << 20;
    // Another account whose sign-in file holds the same bytes is answered with the reading one
    // fetched less than this long before, rather than asking again.
    static constexpr std::chrono::milliseconds shareInterval = RecentAnswers<int>::acrossAccounts;

    // A reading and the account that fetched it.
    struct Fetched {
        ProviderID by;
        ProviderUsageSnapshot snapshot;
    };
    // What the providers of all accounts share: their recent readings by a digest of the
    // sign-in file they were read with.
    struct Shared {
        RecentAnswers<Fetched> readings{shareInterval};
    };

    // `codexHome` is the account's folder, where Codex keeps its sign-in; empty for the default
    // account: the child then inherits Vantor's environment. Any other account without a
    // readable sign-in file there counts as signed out. Without `shared` the provider shares
    // with nobody.
    explicit CodexUsageProvider(ProviderID id = ProviderID::codex, QString codexHome = {},
                                std::shared_ptr<Shared> shared = nullptr,
                                std::chrono::milliseconds requestTimeout = defaultRequestTimeout);
    ~CodexUsageProvider() override;
    CodexUsageProvider(const CodexUsageProvider&) = delete;
    CodexUsageProvider& operator=(const CodexUsageProvider&) = delete;

    ProviderID id() const override { return id_; }
    QString displayName() const override { return displayName_; }
    QCoro::Task<ProviderAvailability> availability() override;
    QCoro::Task<ProviderUsageSnapshot> fetchUsage() override;
    // Signed out, when the last fetch failed because the app-server asked for a sign-in.
    std::optional<ProviderAvailability> failureAvailability() const override {
        return lastFailure_;
    }
    // Whether an error of the app-server says that nobody is signed in (as 0.171 words it:
    // "codex account authentication required to read rate limits").
    static bool asksForSignIn(const std::exception_ptr& failure);

    // Ends every fetch in flight with the cancellation error; each shuts its child down.
    void cancel();

    // The clock shareInterval is measured on; the boot-time clock unless a test sets one.
    void setClock(BootClock::Function clock) { clock_ = std::move(clock); }

    // The sign-in file in a CODEX_HOME folder; for none, where Codex looks by itself: in
    // $CODEX_HOME when that variable is set, else in ~/.codex.
    static QString signInFilePath(const QString& codexHome);

private:
    std::optional<ProviderAvailability> lastFailure_;
    // A digest of the account's sign-in file, or no value when it cannot be read.
    std::optional<QByteArray> signInDigest() const;
    // What another account fetched with the same sign-in within shareInterval, made this one's.
    std::optional<ProviderUsageSnapshot> sharedReading(
        const std::optional<QByteArray>& digest) const;

    ProviderID id_;
    QString codexHome_;
    std::shared_ptr<Shared> shared_;
    QString displayName_ = QStringLiteral("Codex");
    std::chrono::milliseconds requestTimeout_;
    BootClock::Function clock_ = &BootClock::now;
    // The clients of the fetches in flight, so that cancel() can reach them.
    QList<QPointer<CodexAppServerClient>> clients_;
};
