#pragma once

#include "AccountDiscovery.h"
#include "UsageAccount.h"

#include <QObject>
#include <QString>

#include <optional>

class AppState;
class UserDefaults;

// The accounts Vantor knows, remembered in the user defaults with the user's choices (watched
// or not, names, folders added by hand) and kept in the state. Lives on the main thread.
class AccountRegistry : public QObject {
    Q_OBJECT

public:
    // A JSON array of {"provider", "folder", "name", "watched", "origin"}.
    static inline const QString accountsKey = QStringLiteral("accounts");
    // Longer names are cut.
    static constexpr qsizetype maxNameLength = AccountDiscovery::maxNameLength;

    enum class AddResult { added, alreadyKnown, noSignIn, tooMany };

    // Looks for accounts at once (rediscover()), so the state holds them before anyone listens.
    AccountRegistry(UserDefaults& defaults, AppState& state, AccountDiscovery discovery,
                    QObject* parent = nullptr);

    // Looks for accounts again (a folder made or removed since), and puts the result into the
    // state; stores it when it changed.
    void rediscover();
    void setWatched(const ProviderID& account, bool watched);
    // Trims the name and removes control characters; an empty one gives the account back the
    // name it was found with.
    void rename(const ProviderID& account, const QString& name);
    // A folder the user chose anywhere.
    AddResult addFolder(const QString& folder);
    // Forgets an account the user added, or one whose sign-in file is gone; a default account
    // and a found one still in place stay (the user unwatches them instead).
    void remove(const ProviderID& account);
    // Whether remove() forgets the account.
    static bool isRemovable(const UsageAccount& account);

    // The Claude account whose folder is configDir (Claude Code's CLAUDE_CONFIG_DIR for a status
    // line); the default Claude account for an empty one; none for a folder of no account, a
    // relative one, or an account not watched.
    std::optional<ProviderID> claudeAccountFor(const QString& configDir) const;

    // The accounts as stored, for readers that run no registry (the status command); values
    // that do not read are left out.
    static QList<UsageAccount> stored(UserDefaults& defaults);

Q_SIGNALS:
    // After the state's accounts changed through this registry; an action that changes nothing
    // says nothing.
    void changed();

private:
    // Stores the accounts when they differ from the stored ones, and puts them into the state.
    void apply(QList<UsageAccount> accounts);
    // The same when what is stored was just read.
    void apply(QList<UsageAccount> accounts, const QList<UsageAccount>& storedNow);

    UserDefaults& defaults_;
    AppState& state_;
    AccountDiscovery discovery_;
};
