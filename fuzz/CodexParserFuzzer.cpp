#include "CodexParser.h"
#include "UsageJson.h"

#include <QJsonDocument>

#include <cstddef>
#include <cstdint>

// Whatever object the app-server returns, the parser must give a snapshot that can be stored
// and read back unchanged, with states that agree with the percentages.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QJsonDocument document = QJsonDocument::fromJson(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!document.isObject()) {
        return 0;
    }
    const Instant now = Instant::fromReferenceSeconds(800'000'000.0);
    const ProviderUsageSnapshot snapshot = CodexParser::parse(document.object(), now);
    for (const UsageWindowSnapshot& window : snapshot.windows) {
        const double used = window.usedPercent.value_or(0.0);
        const UsageWindowState expected = used >= 100.0  ? UsageWindowState::exhausted
                                          : used >= 90.0 ? UsageWindowState::nearingLimit
                                                         : UsageWindowState::available;
        if (!window.usedPercent || window.state != expected ||
            !window.id.startsWith(QStringLiteral("codex."))) {
            __builtin_trap();
        }
    }
    const QList<ProviderUsageSnapshot> decoded =
        UsageJson::decodeSnapshots(UsageJson::encodeSnapshots({snapshot}));
    if (decoded.size() != 1 || !(decoded.first() == snapshot)) {
        __builtin_trap();
    }
    return 0;
}
