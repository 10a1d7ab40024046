#include "ClaudeCredentialReader.h"

#include <cstddef>
#include <cstdint>

namespace {

bool sendable(const QString& token) {
    if (token.isEmpty()) {
        return false;
    }
    for (const QChar c : token) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) {
            return false;
        }
    }
    return true;
}

}  // namespace

// Credentials come from files and keychain items other programs write. Whatever the bytes, a
// token found is non-empty and fit for a header, and the file form never finds a token the
// keychain form of the same bytes would not.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto fromKeychain = ClaudeCredentialReader::fromKeychainSecret(bytes);
    const auto fromFile = ClaudeCredentialReader::fromFileContents(bytes);
    if ((fromKeychain && !sendable(fromKeychain->accessToken)) ||
        (fromFile && !sendable(fromFile->accessToken))) {
        __builtin_trap();
    }
    if (fromFile && fromFile != fromKeychain) {
        __builtin_trap();
    }
    return 0;
}
