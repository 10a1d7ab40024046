#pragma once

#include "UsageAccount.h"

#include <QList>
#include <QString>

#include <optional>

// Finds the accounts on this machine. Both assistants separate accounts by folder and nothing
// else: Claude Code by CLAUDE_CONFIG_DIR (its sign-in is <folder>/.credentials.json), Codex by
// CODEX_HOME (<folder>/auth.json). Reads folders only; never writes.
class AccountDiscovery {
public:
    // Where to look: Vantor's own home and environment.
    struct Environment {
        QString home;
        // CLAUDE_CONFIG_DIR and CODEX_HOME as Vantor was started with them; empty when unset.
        QString claudeConfigDir;
        QString codexHome;
    };
    // Accounts per assistant, the default one included.
    static constexpr qsizetype maxPerProvider = 8;
    // Longer names are cut.
    static constexpr qsizetype maxNameLength = 40;

    explicit AccountDiscovery(Environment environment);
    // Whether an account read from elsewhere (a stored list, the bus) may join those kept: not
    // one of them, and within maxPerProvider of its assistant, room kept for the default one
    // wherever it comes.
    static bool admits(const QList<UsageAccount>& kept, const ProviderID& id);
    // From $HOME (QDir::homePath()), CLAUDE_CONFIG_DIR and CODEX_HOME.
    static Environment currentEnvironment();

    // The folder of an assistant's default account: the variable when it names an absolute
    // folder, else ~/.claude or ~/.codex.
    QString defaultFolder(ProviderKind kind) const;
    // The sign-in file an assistant keeps in an account's folder.
    static QString signInFile(ProviderKind kind, const QString& folder);
    // An id for a non-default account that stays the same across restarts and renames: made
    // from the account's clean absolute folder, a valid ProviderID account.
    static QString accountID(ProviderKind kind, const QString& folder);

    // Every folder directly in the home folder named .claude-<name> or .claude_<name> that
    // holds .credentials.json, and every .codex-<name> or .codex_<name> that holds auth.json,
    // as an account named <name> (origin found, watched), sorted by name; a folder that is a
    // default account's is left out.
    QList<UsageAccount> found() const;
    // The accounts a folder the user chose holds: one per assistant whose sign-in file is in
    // it (origin added, watched, named after the folder); empty when it holds neither.
    QList<UsageAccount> accountsIn(const QString& folder) const;
    // The accounts to show: each assistant's default account first (as remembered, else
    // watched and unnamed), then the remembered ones, then those found that are not remembered;
    // at most maxPerProvider per assistant. A remembered account whose folder is gone stays.
    QList<UsageAccount> merge(const QList<UsageAccount>& remembered) const;

    // A name without control characters or surrounding blanks, cut to maxNameLength.
    static QString cleanName(const QString& name);
    // The name an account in folder is found with: <name> of .claude-<name> (.codex-<name> for
    // Codex), else the folder's own name.
    static QString folderName(ProviderKind kind, const QString& folder);
    // Whether two absolute folders are one, by their clean paths or where they lead.
    static bool sameFolder(const QString& a, const QString& b);

private:
    Environment environment_;
};
