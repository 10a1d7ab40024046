#pragma once

#include "NotificationCenter.h"
#include "ProviderAvailability.h"
#include "UsageEvent.h"
#include "UsageWindowKind.h"
#include "UsageWindowSnapshot.h"

#include <QCoreApplication>
#include <QCoroTask>
#include <QString>
#include <QStringList>

#include <optional>

class SnapshotStore;

// Announces each confirmed reset once, across launches too: the key of every delivered reset
// is recorded in the store, and only after the notification centre accepted it. One the
// centre did not take (a server slow to start, or none yet) is kept in the store and handed
// over by deliverPending, so it is never lost. No error leaves it.
class NotificationManager {
    Q_DECLARE_TR_FUNCTIONS(NotificationManager)

public:
    // In the interface's language, read when a notification is made.
    static QString testTitle() { return tr("Vantor"); }
    static QString testBody() { return tr("Test notification \u2014 your alerts are ready."); }
    static QString weeklyBody() { return tr("Your weekly usage is available again."); }
    static QString fiveHourBody() { return tr("Your 5-hour usage limit has reset."); }
    static QString monthlyBody() { return tr("Your monthly usage is available again."); }
    static QString otherBody() { return tr("Your usage limit has reset."); }
    static inline const QString testIdentifierPrefix = QStringLiteral("com.quorvel.vantor.test.");

    NotificationManager(SnapshotStore& store, NotificationCenter& center);

    QCoro::Task<NotificationCenter::AuthorizationStatus> authorizationStatus();
    // True only when a notification for a resetConfirmed event was handed to the centre and
    // recorded; false too for a reset already announced or kept (sameReset). windowKind is the
    // kind of the reset window when the caller knows it, and chooses the body; without it a
    // "week" in the identifier does.
    // account names the account in the title when it must be told apart from another
    // ("Claude (work) is ready again"); empty for the texts of a single account.
    // A blockLifted event is delivered alike, with its body given.
    // silent when Vantor plays its own clip for it.
    QCoro::Task<bool> deliver(UsageEvent event,
                              std::optional<UsageWindowKind> windowKind = std::nullopt,
                              QString account = {}, QString givenBody = {}, bool silent = false);
    // Hands the kept announcements to the centre again, oldest first, each once; stops at the
    // first it still does not take.
    QCoro::Task<> deliverPending();
    // Tells that a window's use reached the threshold, by the use it has now: "Codex: 93 % of
    // the 5-hour limit used", with the reset time in the body. Neither recorded nor kept for
    // later when the centre does not take it: a late warning is noise, and the caller's marks
    // keep it from repeating.
    QCoro::Task<bool> warn(ProviderID provider, UsageWindowSnapshot window, Instant now,
                           QString account = {});
    // Tells that a window is spent: "Codex: 5-hour limit reached", "Back at 23:03." when its
    // reset time is known. Handled as a warning is.
    QCoro::Task<bool> tellSpent(ProviderID provider, UsageWindowSnapshot window, Instant now,
                                QString account = {});
    // Tells that a provider which showed usage has stopped, and why: "Claude: session
    // expired", with what to do. Neither recorded nor kept: the caller's marks keep it once.
    QCoro::Task<bool> tellStopped(ProviderID provider, ProviderAvailability why,
                                  QString account = {});
    static QString stoppedTitle(ProviderID provider, const ProviderAvailability& why,
                                const QString& account = {});
    // True when the centre accepted the test notification. Nothing is recorded.
    QCoro::Task<bool> sendTestNotification();

    // "<provider>.<window id>.<reset time as Unix seconds>", the number in its shortest
    // round-trip fixed form with at least one decimal; 0.0 without a reset time.
    static QString eventKey(const UsageEvent& event);
    // Whether one of the keys names a reset of the event's window with nearly the same next
    // reset time, also under the window's id of an earlier release.
    static bool sameReset(const QStringList& keys, const UsageEvent& event);
    // Whether this reset (or one UsageWindowSnapshot::sameReset with it) was announced; with
    // orKept, also whether it is kept for a server that did not take it yet.
    bool wasAnnounced(const UsageEvent& event, bool orKept = false) const;
    static QString title(ProviderID provider, const QString& account = {});
    static QString body(const QString& windowID, std::optional<UsageWindowKind> windowKind);
    // The use is the one the rows show: 100 less the share left as they round it.
    static QString warningTitle(ProviderID provider, const UsageWindowSnapshot& window,
                                const QString& account = {});
    static QString spentTitle(ProviderID provider, const UsageWindowSnapshot& window,
                              const QString& account = {});
    // "Back at 23:03.", in the forms of the warning's "Resets at 23:03.".
    static QString backSentence(Instant resetAt, Instant now);

private:
    // A notice about one window in one period ("warning", "spent").
    static NotificationCenter::Request aboutWindow(const QString& what, ProviderID provider,
                                                   const UsageWindowSnapshot& window, QString title,
                                                   QString body);
    // Asks for permission only while it is undetermined; anything but authorized stops.
    QCoro::Task<bool> permitted();
    // Hands one announcement to the centre and records it; false when the centre did not take it.
    QCoro::Task<bool> handOver(NotificationCenter::Request request);
    // A warning or spent notice: shown when the centre takes it, else dropped.
    QCoro::Task<bool> tell(NotificationCenter::Request request);
    // The name a warning or spent notice starts with: the product, or the named account.
    static QString limitOwner(ProviderID provider, const QString& account);

    SnapshotStore& store_;
    NotificationCenter& center_;
    // One hand-over of the kept announcements at a time, so none goes out twice.
    bool handingOverPending_ = false;
};
