#include "NotificationManager.h"

#include "LimitWarningDetector.h"
#include "ProviderStatusText.h"
#include "SnapshotStore.h"
#include "TimeDisplayFormatter.h"

#include <QLocale>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QUuid>

#include <array>
#include <charconv>
#include <cmath>
#include <exception>

using AuthorizationStatus = NotificationCenter::AuthorizationStatus;

NotificationManager::NotificationManager(SnapshotStore& store, NotificationCenter& center)
    : store_(store), center_(center) {}

QCoro::Task<AuthorizationStatus> NotificationManager::authorizationStatus() {
    const AuthorizationStatus status = co_await center_.authorizationStatus();
    co_return status;
}

QCoro::Task<bool> NotificationManager::permitted() {
    AuthorizationStatus status = co_await center_.authorizationStatus();
    if (status == AuthorizationStatus::notDetermined) {
        co_await center_.requestAuthorization();
        status = co_await center_.authorizationStatus();
    }
    co_return status == AuthorizationStatus::authorized;
}

QCoro::Task<bool> NotificationManager::deliver(UsageEvent event,
                                               std::optional<UsageWindowKind> windowKind,
                                               QString account, QString givenBody, bool silent) {
    if (event.kind != UsageEvent::Kind::resetConfirmed &&
        event.kind != UsageEvent::Kind::blockLifted) {
        co_return false;
    }
    const QString key = eventKey(event);
    if (wasAnnounced(event)) {
        co_return false;
    }
    // Built apart from the co_await: g++ 12 mishandles temporaries in an awaited call.
    NotificationCenter::Request request{
        .identifier = key,
        .title = title(event.provider, account),
        .body = givenBody.isEmpty() ? body(event.windowID, windowKind) : givenBody,
        .silent = silent};
    // Without a server yet (the session starts its own after Vantor) it is kept as well.
    bool taken = false;
    if (co_await permitted()) {
        taken = co_await handOver(request);
    }
    if (!taken) {
        if (!wasAnnounced(event, true)) {
            QList<NotificationCenter::Request> pending = store_.pendingAnnouncements();
            pending.append(request);
            store_.setPendingAnnouncements(pending);
        }
        co_return false;
    }
    co_return true;
}

bool NotificationManager::wasAnnounced(const UsageEvent& event, bool orKept) const {
    QStringList known = store_.deliveredKeys();
    if (orKept) {
        for (const NotificationCenter::Request& waiting : store_.pendingAnnouncements()) {
            known.append(waiting.identifier);
        }
    }
    return known.contains(eventKey(event)) || sameReset(known, event);
}

QCoro::Task<> NotificationManager::deliverPending() {
    QList<NotificationCenter::Request> pending = store_.pendingAnnouncements();
    if (pending.isEmpty() || handingOverPending_) {
        co_return;
    }
    handingOverPending_ = true;
    const auto release = qScopeGuard([this] { handingOverPending_ = false; });
    if (!co_await permitted()) {
        co_return;
    }
    // One delivered but still listed (should this end mid-way) is skipped next time, as the
    // delivered keys know it: the list is written once, after the pass.
    qsizetype done = 0;
    for (; done < pending.size(); ++done) {
        if (store_.wasDelivered(pending[done].identifier)) {
            continue;
        }
        const bool taken = co_await handOver(pending[done]);
        if (!taken) {
            break;
        }
    }
    if (done > 0) {
        // Read again: an announcement kept while this pass waited on the server stays.
        QList<NotificationCenter::Request> left = store_.pendingAnnouncements();
        left.removeIf([this](const NotificationCenter::Request& request) {
            return store_.wasDelivered(request.identifier);
        });
        store_.setPendingAnnouncements(left);
    }
}

QCoro::Task<bool> NotificationManager::handOver(NotificationCenter::Request request) {
    const QString key = request.identifier;
    try {
        co_await center_.add(std::move(request));
    } catch (const std::exception&) {
        co_return false;
    }
    store_.markDelivered(key);
    co_return true;
}

QCoro::Task<bool> NotificationManager::tell(NotificationCenter::Request request) {
    if (!co_await permitted()) {
        co_return false;
    }
    try {
        co_await center_.add(std::move(request));
    } catch (const std::exception&) {
        co_return false;
    }
    co_return true;
}

QCoro::Task<bool> NotificationManager::warn(ProviderID provider, UsageWindowSnapshot window,
                                            Instant now, QString account) {
    // Built apart from the co_await: g++ 12 mishandles temporaries in an awaited call.
    NotificationCenter::Request request = aboutWindow(
        QStringLiteral("warning"), provider, window, warningTitle(provider, window, account),
        window.resetAt ? TimeDisplayFormatter().resetSentence(*window.resetAt, now, {})
                       : QString());
    const bool told = co_await tell(std::move(request));
    co_return told;
}

QCoro::Task<bool> NotificationManager::tellSpent(ProviderID provider, UsageWindowSnapshot window,
                                                 Instant now, QString account) {
    NotificationCenter::Request request = aboutWindow(
        QStringLiteral("spent"), provider, window, spentTitle(provider, window, account),
        window.resetAt ? backSentence(*window.resetAt, now) : QString());
    const bool told = co_await tell(std::move(request));
    co_return told;
}

NotificationCenter::Request NotificationManager::aboutWindow(const QString& what,
                                                             ProviderID provider,
                                                             const UsageWindowSnapshot& window,
                                                             QString title, QString body) {
    // One identifier per window and period, which the marks keep from repeating.
    return {.identifier = QStringLiteral("com.quorvel.vantor.%1.%2.%3.%4")
                              .arg(what, rawValue(provider), window.id,
                                   LimitWarningDetector::periodKey(window)),
            .title = std::move(title),
            .body = std::move(body)};
}

QString NotificationManager::stoppedTitle(ProviderID provider, const ProviderAvailability& why,
                                          const QString& account) {
    const QString name = ProviderStatusText::namedProvider(provider.kind, account);
    if (why.cause() == ProviderAvailability::Cause::sessionExpired) {
        //: "Claude: session expired": the usage shown is no longer current.
        return tr("%1: session expired").arg(name);
    }
    if (why.cause() == ProviderAvailability::Cause::missingScope) {
        return tr("%1: sign-in needed").arg(name);
    }
    return tr("%1: signed out").arg(name);
}

QCoro::Task<bool> NotificationManager::tellStopped(ProviderID provider, ProviderAvailability why,
                                                   QString account) {
    NotificationCenter::Request request{
        .identifier = QStringLiteral("com.quorvel.vantor.stopped.%1").arg(rawValue(provider)),
        .title = stoppedTitle(provider, why, account),
        .body = ProviderStatusText::reason(why, provider.kind) + u'\n' +
                tr("Vantor shows the last figures until then.")};
    const bool told = co_await tell(std::move(request));
    co_return told;
}

QCoro::Task<bool> NotificationManager::sendTestNotification() {
    if (!co_await permitted()) {
        co_return false;
    }
    const QString identifier =
        testIdentifierPrefix + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    NotificationCenter::Request request{
        .identifier = identifier, .title = testTitle(), .body = testBody()};
    try {
        co_await center_.add(std::move(request));
    } catch (const std::exception&) {
        co_return false;
    }
    co_return true;
}

QString NotificationManager::eventKey(const UsageEvent& event) {
    const double seconds = event.resetAt ? event.resetAt->unixSeconds() : 0.0;
    // Fixed notation keeps large and tiny numbers out of exponent form; the largest double
    // needs 309 digits before the point.
    std::array<char, 400> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), seconds,
                                            std::chars_format::fixed);
    QString number = error == std::errc() ? QString::fromLatin1(buffer.data(), end - buffer.data())
                                          : QStringLiteral("0");
    if (std::isfinite(seconds) && !number.contains(QLatin1Char('.'))) {
        number += QLatin1String(".0");
    }
    return rawValue(event.provider) + QLatin1Char('.') + event.windowID + QLatin1Char('.') + number;
}

bool NotificationManager::sameReset(const QStringList& keys, const UsageEvent& event) {
    if (!event.resetAt) {
        return false;
    }
    // "<provider>.<window id>.<seconds>"; the window id may hold points, the seconds hold one.
    static const QRegularExpression keyForm(QStringLiteral("^([^.]+)\\.(.*)\\.(-?\\d+\\.\\d+)$"));
    const QString provider = rawValue(event.provider);
    for (const QString& key : keys) {
        const QRegularExpressionMatch match = keyForm.match(key);
        if (match.hasMatch() && match.captured(1) == provider &&
            SnapshotStore::currentWindowID(match.captured(2)) == event.windowID &&
            UsageWindowSnapshot::sameReset(Instant::fromUnixSeconds(match.captured(3).toDouble()),
                                           event.resetAt)) {
            return true;
        }
    }
    return false;
}

QString NotificationManager::title(ProviderID provider, const QString& account) {
    if (!account.isEmpty()) {
        //: "Claude (work) is ready again": an assistant and one of its several accounts.
        return tr("%1 is ready again")
            .arg(ProviderStatusText::namedProvider(provider.kind, account));
    }
    switch (provider.kind) {
        case ProviderKind::claude:
            return tr("Claude is ready again");
        case ProviderKind::codex:
            break;
    }
    return tr("Codex is ready again");
}

QString NotificationManager::body(const QString& windowID,
                                  std::optional<UsageWindowKind> windowKind) {
    if (!windowKind) {
        return windowID.contains(QLatin1String("week"), Qt::CaseInsensitive) ? weeklyBody()
                                                                             : fiveHourBody();
    }
    switch (*windowKind) {
        case UsageWindowKind::fiveHour:
            return fiveHourBody();
        case UsageWindowKind::weekly:
        case UsageWindowKind::modelWeekly:
            return weeklyBody();
        case UsageWindowKind::monthly:
            return monthlyBody();
        case UsageWindowKind::other:
            break;
    }
    return otherBody();
}

QString NotificationManager::limitOwner(ProviderID provider, const QString& account) {
    // Product names stay as they are; only an account's name is added.
    const QString product =
        provider.kind == ProviderKind::claude ? QStringLiteral("Claude") : QStringLiteral("Codex");
    return account.isEmpty() ? product : ProviderStatusText::namedProvider(provider.kind, account);
}

QString NotificationManager::warningTitle(ProviderID provider, const UsageWindowSnapshot& window,
                                          const QString& account) {
    const QString name = limitOwner(provider, account);
    // The share left, as every display shows it, with the language's spacing.
    const QString left = ProviderStatusText::percent(window.percentLeft().value_or(0), QLocale());
    // A bucket of its own is named: "Codex: 7% of the Spark · 5 hour limit left".
    if (!ProviderStatusText::namesOwnWindow(window.label)) {
        switch (window.kind) {
            case UsageWindowKind::fiveHour:
                return tr("%1: %2 of the 5-hour limit left").arg(name, left);
            case UsageWindowKind::weekly:
                return tr("%1: %2 of the weekly limit left").arg(name, left);
            case UsageWindowKind::monthly:
                return tr("%1: %2 of the monthly limit left").arg(name, left);
            case UsageWindowKind::modelWeekly:
            case UsageWindowKind::other:
                break;
        }
    }
    // A window named only "Additional limit" would read "... of the Additional limit limit".
    if (window.label.isEmpty() || window.label == QLatin1String("Additional limit")) {
        return tr("%1: %2 of the usage limit left").arg(name, left);
    }
    return tr("%1: %2 of the %3 limit left")
        .arg(name, left, ProviderStatusText::windowLabel(window.label));
}

QString NotificationManager::spentTitle(ProviderID provider, const UsageWindowSnapshot& window,
                                        const QString& account) {
    const QString name = limitOwner(provider, account);
    if (!ProviderStatusText::namesOwnWindow(window.label)) {
        switch (window.kind) {
            case UsageWindowKind::fiveHour:
                return tr("%1: 5-hour limit reached").arg(name);
            case UsageWindowKind::weekly:
                return tr("%1: weekly limit reached").arg(name);
            case UsageWindowKind::monthly:
                return tr("%1: monthly limit reached").arg(name);
            case UsageWindowKind::modelWeekly:
            case UsageWindowKind::other:
                break;
        }
    }
    if (window.label.isEmpty() || window.label == QLatin1String("Additional limit")) {
        return tr("%1: usage limit reached").arg(name);
    }
    //: "Codex: Spark · 5 hour limit reached": %2 is the limit's own name.
    return tr("%1: %2 limit reached").arg(name, ProviderStatusText::windowLabel(window.label));
}

QString NotificationManager::backSentence(Instant resetAt, Instant now) {
    return TimeDisplayFormatter().sentence(
        resetAt, now, QLocale(),
        {.today = tr("Back at %1."),
         .tomorrow = tr("Back tomorrow at %1."),
         //: "Back on Tuesday at 15:40.": %1 the weekday, %2 the time.
         .weekday = tr("Back on %1 at %2."),
         //: "Back on Dec 14, 15:40.": %1 the month, day and time.
         .date = tr("Back on %1.")});
}
