#include "ProviderID.h"

#include <algorithm>

bool ProviderID::isValidAccount(QStringView account) {
    return !account.isEmpty() && account.size() <= maxAccountLength &&
           std::all_of(account.begin(), account.end(), [](QChar c) {
               return (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9');
           });
}

QString rawValue(const ProviderID& id) {
    const QString kind = rawValue(id.kind);
    return id.account.isEmpty() ? kind : kind + u'@' + id.account;
}

template <>
std::optional<ProviderID> fromRawValue<ProviderID>(QStringView text) {
    const qsizetype at = text.indexOf(u'@');
    const std::optional<ProviderKind> kind =
        fromRawValue<ProviderKind>(at < 0 ? text : text.left(at));
    if (!kind) {
        return std::nullopt;
    }
    if (at < 0) {
        return ProviderID{*kind, {}};
    }
    const QStringView account = text.mid(at + 1);
    if (!ProviderID::isValidAccount(account)) {
        return std::nullopt;
    }
    return ProviderID{*kind, account.toString()};
}
