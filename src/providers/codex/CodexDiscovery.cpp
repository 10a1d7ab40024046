#include "CodexDiscovery.h"

#include "ExecutableSearch.h"

#include <QDir>
#include <QFileInfo>
#include <QSysInfo>
#include <QVersionNumber>

#include <unistd.h>

namespace {

const QString executableName = QStringLiteral("codex");

bool isExecutableFile(const QString& path) {
    // A folder named codex has execute permission too, but cannot be launched.
    return QFileInfo(path).isFile() && ::access(QFile::encodeName(path).constData(), X_OK) == 0;
}

}  // namespace

namespace CodexDiscovery {

QString newestNvmNodeFolder(const QString& home) {
    const QDir versions(home + QStringLiteral("/.nvm/versions/node"));
    QString newest;
    QVersionNumber newestVersion;
    const QStringList names = versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        // Folders are named like v20.11.1; compare by version so v9 sorts below v10.
        QStringView digits(name);
        if (digits.startsWith(u'v')) {
            digits = digits.mid(1);
        }
        qsizetype suffix = 0;
        const QVersionNumber version = QVersionNumber::fromString(digits, &suffix);
        if (version.isNull() || suffix != digits.size()) {
            continue;
        }
        if (newest.isEmpty() || version > newestVersion) {
            newest = versions.filePath(name);
            newestVersion = version;
        }
    }
    return newest;
}

QStringList candidatePaths(const QString& pathVariable, const QString& home) {
    QStringList candidates;
    for (const QString& folder : ExecutableSearch::folders(pathVariable)) {
        candidates.append(folder + u'/' + executableName);
    }
    for (const char* folder :
         {"/usr/local/bin", "/usr/bin", "/home/linuxbrew/.linuxbrew/bin", "/snap/bin"}) {
        candidates.append(QLatin1String(folder) + u'/' + executableName);
    }
    // A relative home names the working folder, like a relative PATH entry.
    if (!home.startsWith(u'/')) {
        return candidates;
    }
    for (const char* folder :
         {"/.npm-global/bin", "/.local/bin", "/.bun/bin", "/.cargo/bin", "/.volta/bin"}) {
        candidates.append(home + QLatin1String(folder) + u'/' + executableName);
    }
    const QString nvm = newestNvmNodeFolder(home);
    if (!nvm.isEmpty()) {
        candidates.append(nvm + QStringLiteral("/bin/") + executableName);
    }
    return candidates;
}

QString nativeProgram(const QString& path) {
    const QString launcher = QStringLiteral("/@openai/codex/bin/codex.js");
    const QString script = QFileInfo(path).canonicalFilePath();
    // npm's platform package and the program's folder in it, by processor.
    const QString arch = QSysInfo::currentCpuArchitecture();
    const QString package = arch == QLatin1String("x86_64")  ? QStringLiteral("codex-linux-x64")
                            : arch == QLatin1String("arm64") ? QStringLiteral("codex-linux-arm64")
                                                             : QString();
    if (package.isEmpty() || !script.endsWith(launcher)) {
        return path;
    }
    const QString program =
        QStringLiteral("vendor/%1-unknown-linux-musl/bin/codex")
            .arg(arch == QLatin1String("arm64") ? QStringLiteral("aarch64") : arch);
    // The platform package sits beside the launcher's or inside it; older releases carry the
    // program in the launcher's own package.
    const QString scope = script.chopped(launcher.size()) + QStringLiteral("/@openai/");
    for (const QString& candidate :
         {scope + package + u'/' + program,
          scope + QStringLiteral("codex/node_modules/@openai/") + package + u'/' + program,
          scope + QStringLiteral("codex/") + program}) {
        if (isExecutableFile(candidate)) {
            return candidate;
        }
    }
    return path;
}

std::optional<QUrl> executableURL() {
    const QStringList candidates = candidatePaths(qEnvironmentVariable("PATH"), QDir::homePath());
    for (const QString& candidate : candidates) {
        if (isExecutableFile(candidate)) {
            return QUrl::fromLocalFile(nativeProgram(QFileInfo(candidate).absoluteFilePath()));
        }
    }
    return std::nullopt;
}

}  // namespace CodexDiscovery
