#pragma once

#include "UsageProvider.h"

#include <QList>
#include <QPointer>
#include <QString>

#include <chrono>

class CodexAppServerClient;

// The provider for Codex: installed when a codex executable can be found; a fetch launches
// it in app-server mode, reads the rate limits and shuts the child down again. Nothing
// survives from one fetch to the next.
class CodexUsageProvider : public UsageProvider {
public:
    static constexpr std::chrono::milliseconds defaultRequestTimeout{10'000};
    static inline const QString rateLimitsMethod = QStringLiteral("account/rateLimits/read");

    explicit CodexUsageProvider(std::chrono::milliseconds requestTimeout = defaultRequestTimeout);
    ~CodexUsageProvider() override;
    CodexUsageProvider(const CodexUsageProvider&) = delete;
    CodexUsageProvider& operator=(const CodexUsageProvider&) = delete;

    ProviderID id() const override { return id_; }
    QString displayName() const override { return displayName_; }
    QCoro::Task<ProviderAvailability> availability() override;
    QCoro::Task<ProviderUsageSnapshot> fetchUsage() override;

    // Ends every fetch in flight with the cancellation error; each shuts its child down.
    void cancel();

private:
    ProviderID id_ = ProviderID::codex;
    QString displayName_ = QStringLiteral("Codex");
    std::chrono::milliseconds requestTimeout_;
    // The clients of the fetches in flight, so that cancel() can reach them.
    QList<QPointer<CodexAppServerClient>> clients_;
};
