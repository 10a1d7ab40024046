#include "AccountDiscovery.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>

namespace {

QString standardFolderName(ProviderKind kind) {
    return kind == ProviderKind::claude ? QStringLiteral(".claude") : QStringLiteral(".codex");
}

// The <name> of a folder named .claude-<name> or .claude_<name> (.codex... for Codex), cleaned;
// empty for a folder named otherwise.
QString accountNameIn(ProviderKind kind, const QString& fileName) {
    const QString prefix = standardFolderName(kind);
    if (fileName.size() <= prefix.size() + 1 || !fileName.startsWith(prefix)) {
        return {};
    }
    const QChar separator = fileName.at(prefix.size());
    if (separator != u'-' && separator != u'_') {
        return {};
    }
    return AccountDiscovery::cleanName(fileName.mid(prefix.size() + 1));
}

bool holdsSignIn(ProviderKind kind, const QString& folder) {
    return QFileInfo(AccountDiscovery::signInFile(kind, folder)).isFile();
}

}  // namespace

AccountDiscovery::AccountDiscovery(Environment environment)
    : environment_(std::move(environment)) {}

bool AccountDiscovery::admits(const QList<UsageAccount>& kept, const ProviderID& id) {
    const bool known = std::any_of(kept.cbegin(), kept.cend(),
                                   [&id](const UsageAccount& account) { return account.id == id; });
    const qsizetype others =
        std::count_if(kept.cbegin(), kept.cend(), [&id](const UsageAccount& account) {
            return account.id.kind == id.kind && !account.id.isDefault();
        });
    return !known && (id.isDefault() || others < maxPerProvider - 1);
}

AccountDiscovery::Environment AccountDiscovery::currentEnvironment() {
    return {QDir::homePath(), qEnvironmentVariable("CLAUDE_CONFIG_DIR"),
            qEnvironmentVariable("CODEX_HOME")};
}

QString AccountDiscovery::defaultFolder(ProviderKind kind) const {
    const QString& variable =
        kind == ProviderKind::claude ? environment_.claudeConfigDir : environment_.codexHome;
    // A relative folder would depend on the folder Vantor happens to start in.
    if (QDir::isAbsolutePath(variable)) {
        return QDir::cleanPath(variable);
    }
    return QDir::cleanPath(environment_.home + u'/' + standardFolderName(kind));
}

QString AccountDiscovery::signInFile(ProviderKind kind, const QString& folder) {
    return QDir::cleanPath(folder + u'/' +
                           (kind == ProviderKind::claude ? QStringLiteral(".credentials.json")
                                                         : QStringLiteral("auth.json")));
}

QString AccountDiscovery::accountID(ProviderKind kind, const QString& folder) {
    const QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    const QByteArray digest = QCryptographicHash::hash(
        rawValue(kind).toUtf8() + '\n' + path.toUtf8(), QCryptographicHash::Sha256);
    // Twelve hex digits: lower-case letters and digits, short enough for keys and bus paths.
    return QString::fromLatin1(digest.toHex().left(12));
}

QList<UsageAccount> AccountDiscovery::found() const {
    QList<UsageAccount> accounts;
    // A relative home would be looked for in whatever folder Vantor runs in.
    if (!QDir::isAbsolutePath(environment_.home)) {
        return accounts;
    }
    // An unreadable or missing home lists nothing. Symbolic links to folders are listed too.
    QDirIterator entries(environment_.home, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    while (entries.hasNext()) {
        entries.next();
        for (const ProviderKind kind : allCases<ProviderKind>()) {
            const QString name = accountNameIn(kind, entries.fileName());
            if (name.isEmpty()) {
                continue;
            }
            const QString folder = QDir::cleanPath(entries.filePath());
            if (holdsSignIn(kind, folder) && !sameFolder(folder, defaultFolder(kind))) {
                accounts.append(UsageAccount{.id = {kind, accountID(kind, folder)},
                                             .folder = folder,
                                             .name = name,
                                             .watched = true,
                                             .origin = UsageAccount::Origin::found});
            }
        }
    }
    // The listing's order is the file system's; this one is the same on every run.
    std::sort(accounts.begin(), accounts.end(), [](const UsageAccount& a, const UsageAccount& b) {
        if (a.id.kind != b.id.kind) {
            return a.id.kind < b.id.kind;
        }
        const int byName = a.name.compare(b.name, Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : a.folder < b.folder;
    });
    return accounts;
}

QList<UsageAccount> AccountDiscovery::accountsIn(const QString& folder) const {
    QList<UsageAccount> accounts;
    if (!QDir::isAbsolutePath(folder)) {
        return accounts;
    }
    const QString clean = QDir::cleanPath(folder);
    for (const ProviderKind kind : allCases<ProviderKind>()) {
        if (!holdsSignIn(kind, clean)) {
            continue;
        }
        // The default account's folder chosen again is the default account.
        if (sameFolder(clean, defaultFolder(kind))) {
            accounts.append(
                UsageAccount{.id = {kind, {}}, .folder = defaultFolder(kind), .name = {}});
        } else {
            accounts.append(UsageAccount{.id = {kind, accountID(kind, clean)},
                                         .folder = clean,
                                         .name = folderName(kind, clean),
                                         .watched = true,
                                         .origin = UsageAccount::Origin::added});
        }
    }
    return accounts;
}

QList<UsageAccount> AccountDiscovery::merge(const QList<UsageAccount>& remembered) const {
    const QList<UsageAccount> discovered = found();
    QList<UsageAccount> accounts;
    for (const ProviderKind kind : allCases<ProviderKind>()) {
        UsageAccount standard{.id = {kind, {}}, .folder = defaultFolder(kind), .name = {}};
        const auto own = std::find_if(remembered.cbegin(), remembered.cend(),
                                      [&](const UsageAccount& a) { return a.id == standard.id; });
        if (own != remembered.cend()) {
            standard.name = own->name;
            standard.watched = own->watched;
        }
        QList<UsageAccount> ofKind{standard};
        const auto take = [&](const UsageAccount& account) {
            if (account.id.kind != kind || account.id.isDefault() ||
                ofKind.size() >= maxPerProvider) {
                return;
            }
            // Two links to one folder, or a folder that became the default one, count once.
            const bool known =
                std::any_of(ofKind.cbegin(), ofKind.cend(), [&](const UsageAccount& kept) {
                    return kept.id == account.id || sameFolder(kept.folder, account.folder);
                });
            if (!known) {
                ofKind.append(account);
            }
        };
        std::for_each(remembered.cbegin(), remembered.cend(), take);
        std::for_each(discovered.cbegin(), discovered.cend(), take);
        accounts.append(ofKind);
    }
    return accounts;
}

QString AccountDiscovery::cleanName(const QString& name) {
    QString kept;
    for (const QChar c : name) {
        if (c.category() != QChar::Other_Control) {
            kept.append(c);
        }
    }
    kept = kept.trimmed();
    if (kept.size() > maxNameLength) {
        // Never half a character outside the basic plane.
        const qsizetype cut =
            kept.at(maxNameLength - 1).isHighSurrogate() ? maxNameLength - 1 : maxNameLength;
        kept = kept.left(cut).trimmed();
    }
    return kept;
}

QString AccountDiscovery::folderName(ProviderKind kind, const QString& folder) {
    const QString fileName = QFileInfo(folder).fileName();
    QString name = accountNameIn(kind, fileName);
    if (name.isEmpty()) {
        name = cleanName(fileName);
    }
    // The root folder has no name of its own.
    return name.isEmpty() ? cleanName(folder) : name;
}

bool AccountDiscovery::sameFolder(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty()) {
        return false;
    }
    if (QDir::cleanPath(a) == QDir::cleanPath(b)) {
        return true;
    }
    // Only folders that exist lead somewhere.
    const QString target = QFileInfo(a).canonicalFilePath();
    return !target.isEmpty() && target == QFileInfo(b).canonicalFilePath();
}
