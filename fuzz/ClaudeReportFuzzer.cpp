#include "ClaudeParser.h"
#include "UsageCoordinator.h"
#include "VantorError.h"

#include <cstddef>
#include <cstdint>

// A report comes from any process on the session bus: what it makes of the held snapshot must
// be bounded and believable whatever the bytes. Held: a spent five-hour window and 31 others.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray body(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const Instant now = Instant::fromReferenceSeconds(800'000'000.0);
    static const ProviderUsageSnapshot held = [&now] {
        ProviderUsageSnapshot snapshot{.providerID = ProviderID::claude, .observedAt = now};
        for (int i = 0; i < ProviderUsageSnapshot::maxWindows; ++i) {
            snapshot.windows.append(UsageWindowSnapshot{
                .id = i == 0 ? QStringLiteral("claude.five_hour")
                             : QStringLiteral("claude.%1").arg(i),
                .providerID = ProviderID::claude,
                .kind = i == 0 ? UsageWindowKind::fiveHour : UsageWindowKind::modelWeekly,
                .usedPercent = 100.0,
                .resetAt = now.addingSeconds(600),
                .observedAt = now,
                .state = UsageWindowState::exhausted});
        }
        return snapshot;
    }();
    ProviderUsageSnapshot reading;
    try {
        reading = ClaudeParser::parse(body, now);
    } catch (const VantorError&) {
        return 0;
    }
    for (const auto& before : {std::optional<ProviderUsageSnapshot>(), std::optional(held)}) {
        const std::optional<ProviderUsageSnapshot> merged =
            UsageCoordinator::withReading(before, reading);
        if (!merged) {
            continue;
        }
        if (merged->windows.size() > ProviderUsageSnapshot::maxWindows ||
            merged->providerID != ProviderID::claude) {
            __builtin_trap();
        }
        for (const UsageWindowSnapshot& window : merged->windows) {
            const bool kept = before && before->windows.contains(window);
            const double ahead = window.resetAt ? window.resetAt->secondsSince(now) : -1.0;
            const bool handedIn =
                window.kind == UsageWindowKind::fiveHour || window.kind == UsageWindowKind::weekly;
            const double length = handedIn ? *lengthMinutes(window.kind) * 60.0 : 0.0;
            // Anything taken from the report is a five-hour or weekly window resetting ahead,
            // within its length and the slack.
            if (!kept &&
                !(ahead > 0.0 && ahead <= length + UsageCoordinator::readingResetSlackSeconds)) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
