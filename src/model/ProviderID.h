#pragma once

#include "ProviderKind.h"
#include "RawValue.h"

#include <QHashFunctions>
#include <QMap>
#include <QString>
#include <QStringView>

#include <optional>

// One watched account of one assistant: the key of every per-provider map. The default account
// of each assistant has no account id, so its raw value ("codex", "claude") and every key made
// from it are what they were before Vantor knew several accounts; another account's raw value
// is "<kind>@<account id>".
struct ProviderID {
    ProviderKind kind = ProviderKind::codex;
    // Empty for the default account; otherwise 1 to maxAccountLength lower-case letters and
    // digits, so that it can sit in stored keys and D-Bus paths.
    QString account;

    static constexpr qsizetype maxAccountLength = 16;
    static const ProviderID codex;
    static const ProviderID claude;

    bool isDefault() const { return account.isEmpty(); }
    // The order accounts are shown in: Codex's before Claude's, each assistant's default first.
    static bool shownBefore(const ProviderID& a, const ProviderID& b) {
        return a.kind != b.kind ? a.kind < b.kind : a.isDefault() && !b.isDefault();
    }
    static bool isValidAccount(QStringView account);

    friend bool operator==(const ProviderID&, const ProviderID&) = default;
    friend bool operator<(const ProviderID& a, const ProviderID& b) {
        return a.kind != b.kind ? a.kind < b.kind : a.account < b.account;
    }
};

inline const ProviderID ProviderID::codex{ProviderKind::codex, {}};
inline const ProviderID ProviderID::claude{ProviderKind::claude, {}};

inline size_t qHash(const ProviderID& id, size_t seed = 0) {
    return qHashMulti(seed, static_cast<int>(id.kind), id.account);
}

QString rawValue(const ProviderID& id);

// "codex", "claude", or either followed by "@" and a valid account id; nothing else.
template <>
std::optional<ProviderID> fromRawValue<ProviderID>(QStringView text);

// A provider's entry of a map keyed by providers (snapshots, availability), if it has one.
template <typename Value>
std::optional<Value> entryOf(const QMap<ProviderID, Value>& map, const ProviderID& provider) {
    const auto found = map.constFind(provider);
    return found == map.cend() ? std::nullopt : std::optional<Value>(*found);
}
