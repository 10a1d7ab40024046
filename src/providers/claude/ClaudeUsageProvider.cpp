#include "ClaudeUsageProvider.h"

#include "ClaudeCodeVersion.h"
#include "ClaudeCredentialReader.h"
#include "ClaudeDesktopDiscovery.h"
#include "ClaudeParser.h"
#include "ClaudePauseStore.h"
#include "VantorError.h"

#include <QCoreApplication>
#include <QCoroNetworkReply>
#include <QCryptographicHash>
#include <QDateTime>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {

const QString networkErrorDomain = QStringLiteral("QNetworkReply");

// Without this header the endpoint refuses an OAuth bearer; Claude Code sends the same.
const QByteArray betaHeader = QByteArrayLiteral("oauth-2025-04-20");
constexpr int maximumRedirects = 5;
constexpr int overallTimeoutFactor = 3;

// What the reply's handlers collect while the coroutine waits.
struct Download {
    QByteArray body;
    bool oversized = false;
};

// Owns the reply for one fetch: stops it if unfinished and deletes it later, since the fetch
// may end inside one of the reply's own signals. Guarded, as the manager may have gone first.
struct ReplyGuard {
    QPointer<QNetworkReply> reply;

    ~ReplyGuard() {
        if (reply && !reply->isFinished()) {
            reply->abort();
        }
        if (reply) {
            reply->deleteLater();
        }
    }
};

[[noreturn]] void throwTransportError(const QNetworkReply& reply) {
    // The transfer timeout reaches the reply as a plain abort, and nothing else aborts a
    // reply that is still awaited except the size limit, which is handled before.
    if (reply.error() == QNetworkReply::OperationCanceledError ||
        reply.error() == QNetworkReply::TimeoutError) {
        throw VantorError(networkErrorDomain, QNetworkReply::TimeoutError,
                          QStringLiteral("The request timed out."));
    }
    throw VantorError(networkErrorDomain, reply.error(), reply.errorString());
}

}  // namespace

QUrl ClaudeUsageProvider::defaultEndpoint() {
    QUrl url;
    url.setScheme(QStringLiteral("https"));
    url.setHost(QStringLiteral("api.anthropic.com"));
    url.setPath(usagePath);
    return url;
}

ClaudeUsageProvider::Shared::Shared() = default;
ClaudeUsageProvider::Shared::~Shared() = default;

ClaudeUsageProvider::ClaudeUsageProvider(ProviderID id, QString folder,
                                         std::shared_ptr<Shared> shared, ClaudeKeychain* keychain,
                                         ClaudePauseStore* pauseStore, QUrl endpoint,
                                         std::optional<QSslConfiguration> tls,
                                         std::chrono::milliseconds transferTimeout)
    : id_(std::move(id)),
      folder_(std::move(folder)),
      shared_(shared ? std::move(shared) : std::make_shared<Shared>()),
      keychain_(keychain),
      pauseStore_(pauseStore),
      endpoint_(std::move(endpoint)),
      tls_(std::move(tls)),
      transferTimeout_(transferTimeout) {}

ClaudeUsageProvider::~ClaudeUsageProvider() = default;

ClaudeCredentialReader ClaudeUsageProvider::reader() const {
    // Claude Code on Linux keeps its token in the file only; the keychain item is a default
    // account's alone, as the desktop app's sign-in is.
    return ClaudeCredentialReader(id_.isDefault() ? keychain_ : nullptr,
                                  ClaudeCredentialReader::credentialsFilePath(folder_));
}

QCoro::Task<ProviderAvailability> ClaudeUsageProvider::availability() {
    const ClaudeCredentialReader reader = this->reader();
    const std::optional<QString> token = co_await reader.token();
    if (!token) {
        co_return id_.isDefault() && ClaudeDesktopDiscovery::isInstalled()
            ? ProviderAvailability::requiresProPlan()
            : ProviderAvailability::notAuthenticated();
    }
    // While the endpoint rests, asking it would only extend the block.
    if (const auto until = pausedUntil(Instant::now())) {
        co_return rateLimited(*until);
    }
    co_return ProviderAvailability::available();
}

std::optional<ProviderAvailability> ClaudeUsageProvider::failureAvailability() const {
    return lastFailure_;
}

void ClaudeUsageProvider::setReportedVersion(std::optional<QString> version) {
    // Only a well-formed version may go into a header; any other counts as none.
    if (version && !ClaudeCodeVersion::isVersion(*version)) {
        version.reset();
    }
    reportedVersion_ = std::move(version);
}

QString ClaudeUsageProvider::sessionExpiredText() {
    return QCoreApplication::translate("ClaudeUsageProvider",
                                       "Session expired: run claude to sign in again");
}

QString ClaudeUsageProvider::missingScopeText() {
    return QCoreApplication::translate(
        "ClaudeUsageProvider",
        "This token cannot read usage (no user:profile scope, as from claude setup-token): run "
        "claude to sign in");
}

ProviderAvailability ClaudeUsageProvider::rateLimited(Instant until) {
    const QTime time = until.toDateTime().toLocalTime().time();
    return ProviderAvailability::rateLimited(
        until,
        // %1 the local time after which the next refresh asks again.
        QCoreApplication::translate("ClaudeUsageProvider", "Rate limited, next try after %1")
            .arg(QLocale().toString(time, QLocale::ShortFormat)));
}

QCoro::Task<ProviderUsageSnapshot> ClaudeUsageProvider::fetchUsage() {
    lastFailure_.reset();
    const ClaudeCredentialReader reader = this->reader();
    std::optional<ClaudeCredentials> credentials = co_await reader.credentials();
    bool readAgain = false;
    if (credentials && credentials->isExpired(Instant::now())) {
        // Claude Code may have renewed it meanwhile. Its refresh token is never used here: it
        // is single-use, and using it would sign Claude Code out.
        credentials = co_await reader.credentials();
        readAgain = true;
    }
    if (!credentials) {
        throw VantorError(ProviderError::notAuthenticated);
    }
    if (credentials->isExpired(Instant::now())) {
        lastFailure_ = ProviderAvailability::sessionExpired(sessionExpiredText());
        throw VantorError(ProviderError::notAuthenticated);
    }
    if (const auto until = pausedUntil(Instant::now())) {
        lastFailure_ = rateLimited(*until);
        throw VantorError(ProviderError::temporarilyUnavailable);
    }

    // Looked up once per fetch, also serving the retry below.
    const QByteArray userAgent = ClaudeCodeVersion::userAgent(
        reportedVersion_ ? *reportedVersion_ : ClaudeCodeVersion::installed());
    Answer answer = co_await ask(credentials->accessToken, userAgent);
    if (answer.status == 401 && !readAgain) {
        const std::optional<ClaudeCredentials> renewed = co_await reader.credentials();
        // The same token would only be refused again.
        if (renewed && renewed->accessToken != credentials->accessToken &&
            !renewed->isExpired(Instant::now())) {
            answer = co_await ask(renewed->accessToken, userAgent);
        }
    }
    switch (answer.status) {
        case 200: {
            ProviderUsageSnapshot snapshot = ClaudeParser::parse(answer.body, Instant::now());
            snapshot.assignProvider(id_);
            co_return snapshot;
        }
        case 401:
            lastFailure_ = ProviderAvailability::sessionExpired(sessionExpiredText());
            throw VantorError(ProviderError::notAuthenticated);
        case 403:
            lastFailure_ = ProviderAvailability::missingScope(missingScopeText());
            throw VantorError(ProviderError::notAuthenticated);
        case 429: {
            const Instant now = Instant::now();
            const Instant until = now.addingSeconds(pauseSeconds(answer.retryAfter, now));
            pause(until);
            lastFailure_ = rateLimited(until);
            throw VantorError(ProviderError::temporarilyUnavailable);
        }
        default:
            throw VantorError(ProviderError::temporarilyUnavailable);
    }
}

QCoro::Task<ClaudeUsageProvider::Answer> ClaudeUsageProvider::ask(QString token,
                                                                  QByteArray userAgent) {
    // The endpoint goes in too: an answer is only ever the same endpoint's.
    const QByteArray digest = QCryptographicHash::hash(
        endpoint_.toEncoded() + '\n' + token.toUtf8(), QCryptographicHash::Sha256);
    const std::chrono::milliseconds now = clock_();
    // Within minimumAskInterval whoever asked; beyond it, up to a poll interval, only what
    // another account was told: accounts holding the same token are asked in turns of their
    // own over the interval, and ask once between them.
    std::optional<Shared::Asked> recent = shared_->answers.recall(digest, now, minimumAskInterval);
    if (!recent) {
        recent = shared_->answers.recall(digest, now);
        if (recent && recent->by == id_) {
            recent.reset();
        }
    }
    if (recent) {
        co_return std::move(recent->answer);
    }
    // Only an answer counts as asking: a request that never reached the server (the network
    // not back after a wake) may be tried again at once.
    Answer answer = co_await send(std::move(token), std::move(userAgent));
    shared_->answers.remember(digest, Shared::Asked{id_, answer}, now);
    co_return answer;
}

QCoro::Task<ClaudeUsageProvider::Answer> ClaudeUsageProvider::send(QString token,
                                                                   QByteArray userAgent) {
    QNetworkRequest request(endpoint_);
    request.setRawHeader("Authorization", "Bearer " + token.toUtf8());
    request.setRawHeader("Accept", "application/json");
    request.setRawHeader("anthropic-beta", betaHeader);
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgent);
    request.setTransferTimeout(static_cast<int>(transferTimeout_.count()));
    // The bearer token must never reach another origin.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::SameOriginRedirectPolicy);
    request.setMaximumRedirectsAllowed(maximumRedirects);
    request.setSslConfiguration(tls_ ? *tls_ : QSslConfiguration::defaultConfiguration());
    // Each request stands alone: no cookies kept from an earlier answer.
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);

    // Made with the first request: without Claude credentials none is ever sent, and an idle
    // Vantor then runs none of Qt Network.
    if (!shared_->network) {
        shared_->network = std::make_unique<QNetworkAccessManager>();
    }
    QNetworkReply* const raw = shared_->network->get(request);
    const ReplyGuard guard{raw};
    const auto download = std::make_shared<Download>();
    QObject::connect(raw, &QNetworkReply::readyRead, raw, [raw, download] {
        if (download->oversized) {
            return;
        }
        const qint64 room = maxBodySize - download->body.size();
        download->body += raw->read(room + 1);
        if (download->body.size() > maxBodySize) {
            download->oversized = true;
            download->body.clear();
            raw->abort();
        }
    });
    // The transfer timeout restarts with every byte received; a server that trickles its
    // answer would hold the fetch for ever without this overall limit.
    QTimer::singleShot(transferTimeout_ * overallTimeoutFactor, raw, [raw] { raw->abort(); });

    co_await qCoro(raw).waitForFinished();

    if (download->oversized) {
        throw VantorError(ProviderError::malformedResponse);
    }
    const QNetworkReply::NetworkError error = raw->error();
    if (error == QNetworkReply::InsecureRedirectError ||
        error == QNetworkReply::TooManyRedirectsError) {
        throw VantorError(ProviderError::temporarilyUnavailable);
    }
    const QVariant statusAttribute = raw->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!statusAttribute.isValid()) {
        throwTransportError(*raw);
    }
    Answer answer;
    answer.status = statusAttribute.toInt();
    answer.retryAfter = raw->rawHeader("Retry-After");
    if (answer.status != 200) {
        co_return answer;
    }
    // A 200 whose body broke off is a transport failure, not a short body.
    if (error != QNetworkReply::NoError) {
        throwTransportError(*raw);
    }
    download->body += raw->read(maxBodySize - download->body.size() + 1);
    if (download->body.size() > maxBodySize) {
        throw VantorError(ProviderError::malformedResponse);
    }
    answer.body = std::move(download->body);
    co_return answer;
}

std::optional<Instant> ClaudeUsageProvider::pausedUntil(Instant now) const {
    const std::optional<Instant> until = pauseStore_ ? pauseStore_->pausedUntil() : localPause_;
    // A pause further ahead than any 429 can ask for comes from a changed clock or an edited
    // file; honouring it could silence the provider for good.
    if (!until || *until <= now || until->secondsSince(now) > maximumPauseSeconds) {
        return std::nullopt;
    }
    return until;
}

double ClaudeUsageProvider::pauseSeconds(const QByteArray& retryAfter, Instant now) {
    double requested = 0.0;
    const QByteArray text = retryAfter.trimmed();
    bool isNumber = false;
    const qlonglong seconds = text.toLongLong(&isNumber);
    if (isNumber) {
        requested = static_cast<double>(seconds);
    } else if (!text.isEmpty()) {
        // An HTTP date names its zone "GMT", which the RFC 2822 reader does not take.
        QString date822 = QString::fromLatin1(text);
        if (date822.endsWith(QLatin1String(" GMT"))) {
            date822.replace(date822.size() - 3, 3, QStringLiteral("+0000"));
        }
        const QDateTime date = QDateTime::fromString(date822, Qt::RFC2822Date);
        if (date.isValid()) {
            requested = Instant::fromDateTime(date).secondsSince(now);
        }
    }
    return std::clamp(requested, minimumPauseSeconds, maximumPauseSeconds);
}

void ClaudeUsageProvider::pause(Instant until) {
    if (pauseStore_) {
        pauseStore_->setPausedUntil(until);
    } else {
        localPause_ = until;
    }
}
