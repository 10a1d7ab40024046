#pragma once

#include "Instant.h"
#include "ProviderID.h"
#include "UsageSeverity.h"
#include "UsageWindowKind.h"
#include "UsageWindowState.h"

#include <QString>

#include <optional>

// One usage window as observed at one moment. A value: a change is a new record.
struct UsageWindowSnapshot {
    // Stable across refreshes of the same provider; the reset detector pairs windows by it.
    QString id;
    ProviderID providerID = ProviderID::codex;
    std::optional<QString> providerWindowID;
    UsageWindowKind kind = UsageWindowKind::other;
    QString label;
    // As reported; may lie outside 0 to 100.
    std::optional<double> usedPercent;
    std::optional<Instant> resetAt;
    Instant observedAt;
    UsageWindowState state = UsageWindowState::unknown;
    std::optional<bool> isActive;
    std::optional<QString> serverSeverity;
    // What the window's use costs, on seats that are billed in dollars.
    std::optional<double> usedDollars = std::nullopt;
    std::optional<double> limitDollars = std::nullopt;

    // usedPercent clamped to 0...100, for display.
    std::optional<double> displayPercent() const;
    // The share left, rounded half away from zero, from displayPercent; none when the use is
    // unknown, 0 for a use that is not a number.
    std::optional<int> percentLeft() const;

    // Whether the reset time lies after now: one that passed without a new reading says
    // nothing of when the window comes back.
    bool resetsAfter(Instant now) const;
    // Whether the share left, as every display rounds it, is at most what a threshold of use
    // leaves: "10% left" reaches a threshold of 90 used however the use behind it rounds, so
    // what is shown and what is decided agree.
    bool leavesAtMost(double usedThreshold) const;
    // Spent when the provider says so or all is used; nearing once the share left shown is down
    // to what nearingPercent used leaves.
    UsageSeverity severity(double nearingPercent) const;
    // Whether its reset time has passed without a reading of the new period: what it held is
    // over, and it waits for its next reading. Said of now; the stored state stays as read.
    bool awaitsReading(Instant now) const;
    // As severity, at now: a window awaiting its next reading is neither spent nor nearing.
    UsageSeverity severity(double nearingPercent, Instant now) const;
    // Whether this window stands before the other as the one that will stop the user first:
    // spent first, then the one the provider marks as binding now, then nearing its limit,
    // awaiting confirmation, available, unknown; within one of these, the one with less left,
    // and of spent ones the one that resets last.
    static bool tighter(const UsageWindowSnapshot& a, const UsageWindowSnapshot& b);

    // Reset times this close are one reset: a service may shift them by seconds between
    // readings, while a window that resets moves by hours. Two missing ones are one too.
    static constexpr double sameResetSeconds = 300.0;
    static bool sameReset(std::optional<Instant> a, std::optional<Instant> b);
    // Whether reset time a lies before b by more than that: a reading of an earlier period.
    static bool earlierReset(std::optional<Instant> a, std::optional<Instant> b);
    // Whether the reading was taken after its own reset time: its period has ended (a stray
    // reading some minutes after a reset), so it says nothing about the window now.
    bool hasEnded() const;

    friend bool operator==(const UsageWindowSnapshot&, const UsageWindowSnapshot&) = default;
};
