#include "UsageJson.h"
#include "VantorError.h"

#include <cstddef>
#include <cstdint>

// Stored snapshots come from a file the user may edit: decoding must either succeed or throw
// VantorError, and anything it decodes must encode and read back equal.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray json(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        const auto snapshots = UsageJson::decodeSnapshots(json);
        const auto again = UsageJson::decodeSnapshots(UsageJson::encodeSnapshots(snapshots));
        if (again != snapshots) {
            __builtin_trap();
        }
    } catch (const VantorError&) {
    }
    return 0;
}
