#include "ClaudeCodeVersion.h"

#include "ClaudeCredentialReader.h"
#include "ExecutableSearch.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QVersionNumber>

namespace {

const QString packageName = QStringLiteral("@anthropic-ai/claude-code");
// bin/claude.exe sits two folders below the package's root; a little slack for other layouts.
constexpr int packageSearchDepth = 4;
constexpr qint64 maxPackageFileSize = 1 << 16;

std::optional<QString> packageVersion(const QString& path) {
    const std::optional<QByteArray> contents =
        ClaudeCredentialReader::readRegularFile(path, maxPackageFileSize);
    if (!contents) {
        return std::nullopt;
    }
    const QJsonObject package = QJsonDocument::fromJson(*contents).object();
    const QString version = package.value(QLatin1String("version")).toString();
    if (package.value(QLatin1String("name")).toString() != packageName ||
        !ClaudeCodeVersion::isVersion(version)) {
        return std::nullopt;
    }
    return version;
}

}  // namespace

namespace ClaudeCodeVersion {

QByteArray userAgent(const QString& version) {
    return "claude-cli/" + version.toLatin1() + " (external, cli)";
}

bool isVersion(QStringView text) {
    static const QRegularExpression pattern(
        QStringLiteral("^[0-9]{1,6}\\.[0-9]{1,6}\\.[0-9]{1,6}(-[0-9A-Za-z.]{1,32})?$"));
    return pattern.match(text).hasMatch();
}

std::optional<QString> fromExecutable(const QString& executable) {
    const QFileInfo target(QFileInfo(executable).canonicalFilePath());
    if (!target.isFile()) {
        return std::nullopt;
    }
    if (target.dir().dirName() == QLatin1String("versions") && isVersion(target.fileName())) {
        return target.fileName();
    }
    QDir folder = target.dir();
    for (int depth = 0; depth < packageSearchDepth; ++depth) {
        if (auto version = packageVersion(folder.filePath(QStringLiteral("package.json")))) {
            return version;
        }
        if (!folder.cdUp()) {
            break;
        }
    }
    return std::nullopt;
}

std::optional<QString> fromVersionsFolder(const QString& folder) {
    std::optional<QString> newest;
    for (const QString& name :
         QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (isVersion(name) &&
            (!newest || QVersionNumber::fromString(name) > QVersionNumber::fromString(*newest))) {
            newest = name;
        }
    }
    return newest;
}

QString installed() {
    const QString executable = ExecutableSearch::find(QStringLiteral("claude"));
    if (!executable.isEmpty()) {
        if (auto version = fromExecutable(executable)) {
            return *version;
        }
    }
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return fromVersionsFolder(dataHome + QStringLiteral("/claude/versions")).value_or(fallback);
}

}  // namespace ClaudeCodeVersion
