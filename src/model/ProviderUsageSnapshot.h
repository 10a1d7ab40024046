#pragma once

#include "ExtraUsage.h"
#include "IndividualLimit.h"
#include "Instant.h"
#include "ProviderID.h"
#include "UsageBlock.h"
#include "UsageSourceConfidence.h"
#include "UsageWindowSnapshot.h"

#include <QList>
#include <QMap>
#include <QString>

#include <optional>

// Everything one provider reported at one refresh.
struct ProviderUsageSnapshot {
    // Windows held per provider, whatever a peer sends or a stored file holds: a real account
    // has a handful, and each costs memory, drawing and notifications.
    static constexpr qsizetype maxWindows = 32;

    ProviderID providerID = ProviderID::codex;
    // In the order the provider produced them; may be empty.
    QList<UsageWindowSnapshot> windows;
    std::optional<bool> ordinaryUsageAllowed;
    std::optional<QString> globalLimitReason;
    Instant observedAt;
    UsageSourceConfidence sourceConfidence = UsageSourceConfidence::unavailable;
    // Only while the account has it switched on.
    std::optional<ExtraUsage> extraUsage = std::nullopt;
    // The account's plan as the provider names it ("pro").
    std::optional<QString> plan = std::nullopt;
    // Credits beyond the plan: a balance, or unlimitedCredits true; both absent without any.
    std::optional<double> creditBalance = std::nullopt;
    std::optional<bool> unlimitedCredits = std::nullopt;
    // Banked resets the user may redeem; absent when there are none.
    std::optional<int> resetCredits = std::nullopt;
    // Money spent this period as a second source reports it; may repeat extraUsage.
    std::optional<ExtraUsage> spend = std::nullopt;
    // The workspace's credit limit for this member.
    std::optional<IndividualLimit> individualLimit = std::nullopt;
    // What stops use now, at most one per bucket (maxBlocks).
    QList<UsageBlock> blocks = {};

    static constexpr qsizetype maxBlocks = 8;

    // The window that stands for the whole provider in compact displays, among the first
    // bucket's windows: the tightest by UsageWindowSnapshot::tighter.
    std::optional<UsageWindowSnapshot> summaryWindow() const;
    // The block on a bucket (empty: the whole account), if any.
    std::optional<UsageBlock> block(const QString& bucket) const;
    // The block on the whole account, if any.
    std::optional<UsageBlock> accountBlock() const { return block({}); }
    // The block that stops this window: the account's, else its bucket's.
    std::optional<UsageBlock> blockOf(const UsageWindowSnapshot& window) const;
    // Whether extraUsage and spend report one amount (the same currency and, to half of the
    // finer minor unit, the same sum), so that it is told once.
    bool spendRepeatsExtraUsage() const;
    // Keeps the first maxWindows windows: a provider's own order puts its main ones first.
    void boundWindows();
    // The windows of the main bucket: the first window's bucket.
    bool inMainBucket(const UsageWindowSnapshot& window) const;
    // Makes the snapshot and every window one account's: parsers know only the assistant.
    void assignProvider(const ProviderID& provider);

    friend bool operator==(const ProviderUsageSnapshot&, const ProviderUsageSnapshot&) = default;
};

// The last snapshot of each provider.
using SnapshotMap = QMap<ProviderID, ProviderUsageSnapshot>;
