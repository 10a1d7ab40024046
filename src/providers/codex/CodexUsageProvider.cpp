#include "CodexUsageProvider.h"

#include "CodexAppServerClient.h"
#include "CodexDiscovery.h"
#include "CodexParser.h"
#include "RegularFile.h"
#include "VantorError.h"

#include <QCryptographicHash>
#include <QDir>

#include <exception>
#include <utility>

CodexUsageProvider::CodexUsageProvider(ProviderID id, QString codexHome,
                                       std::shared_ptr<Shared> shared,
                                       std::chrono::milliseconds requestTimeout)
    : id_(std::move(id)),
      codexHome_(std::move(codexHome)),
      shared_(shared ? std::move(shared) : std::make_shared<Shared>()),
      requestTimeout_(requestTimeout) {}

CodexUsageProvider::~CodexUsageProvider() = default;

QString CodexUsageProvider::signInFilePath(const QString& codexHome) {
    QString folder = codexHome.isEmpty() ? qEnvironmentVariable("CODEX_HOME") : codexHome;
    if (folder.isEmpty()) {
        folder = QDir::homePath() + QStringLiteral("/.codex");
    }
    return folder + u'/' + signInFileName;
}

std::optional<QByteArray> CodexUsageProvider::signInDigest() const {
    const std::optional<QByteArray> contents =
        RegularFile::read(signInFilePath(codexHome_), maxSignInFileSize);
    if (!contents) {
        return std::nullopt;
    }
    return QCryptographicHash::hash(*contents, QCryptographicHash::Sha256);
}

std::optional<ProviderUsageSnapshot> CodexUsageProvider::sharedReading(
    const std::optional<QByteArray>& digest) const {
    if (!digest) {
        return std::nullopt;
    }
    std::optional<Fetched> recent = shared_->readings.recall(*digest, clock_());
    // Only another account's: this account's own refresh asks Codex again, as it does with a
    // single account.
    if (!recent || recent->by == id_) {
        return std::nullopt;
    }
    recent->snapshot.assignProvider(id_);
    return std::move(recent->snapshot);
}

QCoro::Task<ProviderAvailability> CodexUsageProvider::availability() {
    if (!CodexDiscovery::executableURL()) {
        co_return ProviderAvailability::notInstalled();
    }
    // The default account is left to Codex itself, as it always was: it says when it is
    // signed out.
    if (!id_.isDefault() && (codexHome_.isEmpty() || !signInDigest())) {
        co_return ProviderAvailability::notAuthenticated();
    }
    co_return ProviderAvailability::available();
}

bool CodexUsageProvider::asksForSignIn(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const VantorError& error) {
        return error.providerError() == ProviderError::notAuthenticated ||
               (error.domain() == QLatin1String("CodexRPC") &&
                error.description().contains(QLatin1String("authentication required"),
                                             Qt::CaseInsensitive));
    } catch (...) {
    }
    return false;
}

QCoro::Task<ProviderUsageSnapshot> CodexUsageProvider::fetchUsage() {
    lastFailure_.reset();
    const std::optional<QUrl> executable = CodexDiscovery::executableURL();
    if (!executable) {
        throw VantorError(ProviderError::notInstalled);
    }
    const std::optional<QByteArray> digest = signInDigest();
    if (!id_.isDefault() && (codexHome_.isEmpty() || !digest)) {
        lastFailure_ = ProviderAvailability::notAuthenticated();
        throw VantorError(ProviderError::notAuthenticated);
    }
    if (std::optional<ProviderUsageSnapshot> shared = sharedReading(digest)) {
        co_return std::move(*shared);
    }

    auto client = std::make_unique<CodexAppServerClient>(*executable, requestTimeout_, codexHome_);
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
    // On every way out: the child must not outlive the fetch, so that the next account's
    // never runs beside it.
    client->stop();
    co_await client->waitForExit();
    clients_.removeAll(client.get());
    if (failure) {
        if (asksForSignIn(failure)) {
            lastFailure_ = ProviderAvailability::notAuthenticated();
        }
        std::rethrow_exception(failure);
    }
    if (digest) {
        Fetched fetched{id_, snapshot};
        shared_->readings.remember(*digest, std::move(fetched), clock_());
    }
    snapshot.assignProvider(id_);
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
