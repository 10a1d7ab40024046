#include "ClaudeParser.h"
#include "VantorError.h"

#include <cstddef>
#include <cstdint>

// The usage body comes from a server: parsing must either give a snapshot or throw
// VantorError, and every window it gives must be a Claude window with an id of a known form.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray body(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const Instant now = Instant::fromReferenceSeconds(800'000'000.0);
    try {
        const ProviderUsageSnapshot snapshot = ClaudeParser::parse(body, now);
        if (snapshot.windows.isEmpty() !=
            (snapshot.sourceConfidence == UsageSourceConfidence::unavailable)) {
            __builtin_trap();
        }
        for (const UsageWindowSnapshot& window : snapshot.windows) {
            if (window.providerID != ProviderID::claude || !window.usedPercent ||
                !window.id.startsWith(QLatin1String("claude."))) {
                __builtin_trap();
            }
        }
    } catch (const VantorError&) {
    }
    // The date reader sees the same bytes as text.
    (void)ClaudeParser::parseInternetDateTime(QString::fromUtf8(body));
    return 0;
}
