#include "CodexUsageProvider.h"

#include "CodexAppServerClient.h"
#include "CodexDiscovery.h"
#include "CodexParser.h"
#include "VantorError.h"

#include <exception>
#include <memory>

CodexUsageProvider::CodexUsageProvider(std::chrono::milliseconds requestTimeout)
    : requestTimeout_(requestTimeout) {}

CodexUsageProvider::~CodexUsageProvider() = default;

QCoro::Task<ProviderAvailability> CodexUsageProvider::availability() {
    co_return CodexDiscovery::executableURL() ? ProviderAvailability::available()
                                              : ProviderAvailability::notInstalled();
}

QCoro::Task<ProviderUsageSnapshot> CodexUsageProvider::fetchUsage() {
    const std::optional<QUrl> executable = CodexDiscovery::executableURL();
    if (!executable) {
        throw VantorError(ProviderError::notInstalled);
    }

    auto client = std::make_unique<CodexAppServerClient>(*executable, requestTimeout_);
    clients_.removeAll(nullptr);
    clients_.append(client.get());

    std::exception_ptr failure;
    ProviderUsageSnapshot snapshot;
    try {
        co_await client->start();
        const QJsonObject result = co_await client->request(rateLimitsMethod, QJsonObject());
        snapshot = CodexParser::parse(result, Instant::now());
    } catch (...) {
        failure = std::current_exception();
    }
    // On every way out: the child must not outlive the fetch.
    client->stop();
    clients_.removeAll(client.get());
    if (failure) {
        std::rethrow_exception(failure);
    }
    co_return snapshot;
}

void CodexUsageProvider::cancel() {
    // A copy: cancelling resumes nobody at once, but the list is not ours to iterate while
    // it may change.
    const auto clients = clients_;
    for (const auto& client : clients) {
        if (client) {
            client->cancel();
        }
    }
}
