#include "AccountRegistry.h"

#include "AppState.h"
#include "UserDefaults.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {

using Origin = UsageAccount::Origin;

// In the order they are shown; otherwise as given.
QList<UsageAccount> ordered(QList<UsageAccount> accounts) {
    std::stable_sort(accounts.begin(), accounts.end(),
                     [](const UsageAccount& a, const UsageAccount& b) {
                         return ProviderID::shownBefore(a.id, b.id);
                     });
    return accounts;
}

QByteArray encode(const QList<UsageAccount>& accounts) {
    QJsonArray entries;
    for (const UsageAccount& account : accounts) {
        entries.append(QJsonObject{{QStringLiteral("provider"), rawValue(account.id)},
                                   {QStringLiteral("folder"), account.folder},
                                   {QStringLiteral("name"), account.name},
                                   {QStringLiteral("watched"), account.watched},
                                   {QStringLiteral("origin"), rawValue(account.origin)}});
    }
    return QJsonDocument(entries).toJson(QJsonDocument::Compact);
}

// One stored entry; an absent field takes its usual value, a field of the wrong type or an
// account that cannot be (another assistant's, a folder that is not absolute) spoils it.
std::optional<UsageAccount> decode(const QJsonValue& value) {
    const QJsonObject entry = value.toObject();
    const std::optional<ProviderID> id =
        fromRawValue<ProviderID>(entry.value(u"provider").toString());
    const QJsonValue folder = entry.value(u"folder");
    const QJsonValue name = entry.value(u"name");
    const QJsonValue watched = entry.value(u"watched");
    const QJsonValue origin = entry.value(u"origin");
    const auto wrong = [](const QJsonValue& field, bool rightType) {
        return !field.isUndefined() && !rightType;
    };
    if (!id || wrong(folder, folder.isString()) || wrong(name, name.isString()) ||
        wrong(watched, watched.isBool()) || wrong(origin, origin.isString())) {
        return std::nullopt;
    }
    const QString path = folder.toString();
    UsageAccount account{.id = *id,
                         .folder = QDir::isAbsolutePath(path) ? QDir::cleanPath(path) : QString(),
                         .name = AccountDiscovery::cleanName(name.toString()),
                         .watched = watched.toBool(true)};
    if (id->isDefault()) {
        return account;
    }
    const std::optional<Origin> kept =
        fromRawValue<Origin>(origin.toString(QStringLiteral("found")));
    if (!kept || *kept == Origin::standard || account.folder.isEmpty()) {
        return std::nullopt;
    }
    account.origin = *kept;
    if (account.name.isEmpty()) {
        account.name = AccountDiscovery::folderName(id->kind, account.folder);
    }
    return account;
}

qsizetype countOfKind(const QList<UsageAccount>& accounts, ProviderKind kind) {
    return std::count_if(accounts.cbegin(), accounts.cend(),
                         [kind](const UsageAccount& a) { return a.id.kind == kind; });
}

}  // namespace

AccountRegistry::AccountRegistry(UserDefaults& defaults, AppState& state,
                                 AccountDiscovery discovery, QObject* parent)
    : QObject(parent), defaults_(defaults), state_(state), discovery_(std::move(discovery)) {
    rediscover();
}

void AccountRegistry::rediscover() {
    QList<UsageAccount> remembered = stored(defaults_);
    apply(discovery_.merge(remembered), std::move(remembered));
}

void AccountRegistry::setWatched(const ProviderID& account, bool watched) {
    QList<UsageAccount> accounts = state_.accounts();
    for (UsageAccount& known : accounts) {
        if (known.id == account) {
            known.watched = watched;
        }
    }
    apply(std::move(accounts));
}

void AccountRegistry::rename(const ProviderID& account, const QString& name) {
    const QString cleaned = AccountDiscovery::cleanName(name);
    QList<UsageAccount> accounts = state_.accounts();
    for (UsageAccount& known : accounts) {
        if (known.id != account) {
            continue;
        }
        if (!cleaned.isEmpty()) {
            known.name = cleaned;
        } else {
            // The default account's own word is its empty name.
            known.name = account.isDefault()
                             ? QString()
                             : AccountDiscovery::folderName(account.kind, known.folder);
        }
    }
    apply(std::move(accounts));
}

AccountRegistry::AddResult AccountRegistry::addFolder(const QString& folder) {
    const QList<UsageAccount> inFolder = discovery_.accountsIn(folder);
    if (inFolder.isEmpty()) {
        return AddResult::noSignIn;
    }
    QList<UsageAccount> accounts = state_.accounts();
    bool added = false;
    bool full = false;
    for (const UsageAccount& account : inFolder) {
        const bool known =
            std::any_of(accounts.cbegin(), accounts.cend(), [&](const UsageAccount& a) {
                return a.id == account.id ||
                       (a.id.kind == account.id.kind &&
                        AccountDiscovery::sameFolder(a.folder, account.folder));
            });
        if (known) {
            continue;
        }
        if (countOfKind(accounts, account.id.kind) >= AccountDiscovery::maxPerProvider) {
            full = true;
            continue;
        }
        accounts.append(account);
        added = true;
    }
    if (!added) {
        return full ? AddResult::tooMany : AddResult::alreadyKnown;
    }
    apply(ordered(std::move(accounts)));
    return AddResult::added;
}

void AccountRegistry::remove(const ProviderID& account) {
    QList<UsageAccount> accounts = state_.accounts();
    accounts.removeIf(
        [&](const UsageAccount& known) { return known.id == account && isRemovable(known); });
    apply(std::move(accounts));
}

bool AccountRegistry::isRemovable(const UsageAccount& account) {
    // A found folder still signed in would only be found again.
    return !account.id.isDefault() &&
           (account.origin == Origin::added ||
            !QFileInfo(AccountDiscovery::signInFile(account.id.kind, account.folder)).isFile());
}

std::optional<ProviderID> AccountRegistry::claudeAccountFor(const QString& configDir) const {
    // Claude Code would read a relative folder from wherever it was started: no account's.
    if (!configDir.isEmpty() && !QDir::isAbsolutePath(configDir)) {
        return std::nullopt;
    }
    for (const UsageAccount& account : state_.accounts()) {
        if (!account.watched || account.id.kind != ProviderKind::claude) {
            continue;
        }
        if (configDir.isEmpty() ? account.id.isDefault()
                                : AccountDiscovery::sameFolder(configDir, account.folder)) {
            return account.id;
        }
    }
    return std::nullopt;
}

QList<UsageAccount> AccountRegistry::stored(UserDefaults& defaults) {
    const std::optional<QByteArray> data = defaults.data(accountsKey);
    if (!data) {
        return {};
    }
    // Anything but an array reads as an empty one.
    const QJsonArray entries = QJsonDocument::fromJson(*data).array();
    QList<UsageAccount> accounts;
    for (const QJsonValue value : entries) {
        const std::optional<UsageAccount> account = decode(value);
        if (account && AccountDiscovery::admits(accounts, account->id)) {
            accounts.append(*account);
        }
    }
    return ordered(std::move(accounts));
}

void AccountRegistry::apply(QList<UsageAccount> accounts) {
    apply(std::move(accounts), stored(defaults_));
}

void AccountRegistry::apply(QList<UsageAccount> accounts, const QList<UsageAccount>& storedNow) {
    if (accounts != storedNow) {
        defaults_.setValue(accountsKey, encode(accounts));
    }
    if (accounts == state_.accounts()) {
        return;
    }
    state_.setAccounts(std::move(accounts));
    Q_EMIT changed();
}
