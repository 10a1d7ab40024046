#include "XdgAutostartLoginItem.h"

#include "ExecutableSearch.h"
#include "VantorError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

const QString errorDomain = QStringLiteral("LoginItem");
// An autostart entry is a few hundred bytes; a larger file is not one we wrote.
constexpr qint64 maxEntrySize = 64 * 1024;

struct Entry {
    QString exec;
    bool switchedOff = false;
};

// The keys of the [Desktop Entry] group that decide the status; other groups are ignored.
Entry readEntry(QFile& file) {
    Entry entry;
    bool inMainGroup = false;
    const QList<QByteArray> lines = file.read(maxEntrySize).split('\n');
    for (const QByteArray& raw : lines) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(u'[')) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inMainGroup || equals < 0) {
            continue;
        }
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (key == QLatin1String("Exec")) {
            entry.exec = value;
        } else if ((key == QLatin1String("Hidden") && value == QLatin1String("true")) ||
                   (key == QLatin1String("X-GNOME-Autostart-enabled") &&
                    value == QLatin1String("false"))) {
            entry.switchedOff = true;
        }
    }
    return entry;
}

// The program an Exec line starts: its first word, unquoted, found on PATH when bare.
QString execProgram(QString exec) {
    // Undo the value-level escaping first, then the quoting of the argument.
    exec.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
    exec.replace(QStringLiteral("%%"), QStringLiteral("%"));
    QString program;
    if (exec.startsWith(u'"')) {
        for (qsizetype i = 1; i < exec.size() && exec[i] != u'"'; ++i) {
            if (exec[i] == u'\\' && i + 1 < exec.size()) {
                ++i;
            }
            program.append(exec[i]);
        }
    } else {
        program = exec.section(u' ', 0, 0);
    }
    if (!program.isEmpty() && !program.contains(u'/')) {
        program = ExecutableSearch::find(program);
    }
    return program;
}

QString canonical(const QString& path) {
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? QDir::cleanPath(path) : resolved;
}

// Quoted as the desktop entry format asks, so a path with spaces or quotes survives.
QString quoteExec(const QString& path) {
    QString quoted = path;
    for (const QChar special : {u'\\', u'"', u'`', u'$'}) {
        quoted.replace(special, QStringLiteral("\\") + special);
    }
    // A backslash in a string value is itself escaped once more.
    quoted.replace(QStringLiteral("\\"), QStringLiteral("\\\\"));
    quoted.replace(QStringLiteral("%"), QStringLiteral("%%"));
    return u'"' + quoted + u'"';
}

}  // namespace

XdgAutostartLoginItem::XdgAutostartLoginItem(QString executable, QString autostartFolder,
                                             QStringList prefixes)
    : executable_(executable.isEmpty() ? QCoreApplication::applicationFilePath()
                                       : std::move(executable)),
      folder_(autostartFolder.isEmpty()
                  ? QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                        QStringLiteral("/autostart")
                  : std::move(autostartFolder)),
      prefixes_(prefixes.isEmpty() ? installPrefixes() : std::move(prefixes)) {}

QStringList XdgAutostartLoginItem::installPrefixes() {
    return {QStringLiteral("/usr"), QStringLiteral("/usr/local"), QStringLiteral("/opt"),
            QDir::homePath() + QStringLiteral("/.local")};
}

QString XdgAutostartLoginItem::entryPath() const {
    return folder_ + u'/' + entryName;
}

LoginItemService::Status XdgAutostartLoginItem::status() const {
    QFile file(entryPath());
    if (!file.open(QIODevice::ReadOnly)) {
        return Status::notRegistered;
    }
    const Entry entry = readEntry(file);
    if (entry.switchedOff) {
        return Status::requiresApproval;
    }
    const QString program = execProgram(entry.exec);
    if (!program.isEmpty() && canonical(program) == canonical(executable_)) {
        return Status::enabled;
    }
    return Status::notFound;
}

QByteArray XdgAutostartLoginItem::entryText(const QString& executable) {
    return QByteArrayLiteral(
               "[Desktop Entry]\n"
               "Type=Application\n"
               "Name=Vantor\n"
               "Comment=Tells you when your Codex and Claude Code limits reset\n") +
           "Exec=" + quoteExec(executable).toUtf8() +
           // Once the program is uninstalled, the desktop skips the entry instead of failing
           // at every login. A plain string value: only a backslash is escaped.
           "\nTryExec=" + QString(executable).replace(u'\\', QStringLiteral("\\\\")).toUtf8() +
           QByteArrayLiteral(
               "\n"
               "Icon=com.quorvel.vantor\n"
               "Terminal=false\n"
               "X-GNOME-Autostart-enabled=true\n");
}

void XdgAutostartLoginItem::registerItem() {
    if (!QDir().mkpath(folder_)) {
        throw VantorError(
            errorDomain, 1,
            QStringLiteral("The autostart folder %1 cannot be created.").arg(folder_));
    }
    // Written whole or not at all: a half-written entry would start nothing at login.
    QSaveFile file(entryPath());
    if (!file.open(QIODevice::WriteOnly) || file.write(entryText(executable_)) < 0 ||
        !file.commit()) {
        throw VantorError(errorDomain, 2,
                          QStringLiteral("The autostart entry %1 cannot be written: %2")
                              .arg(entryPath(), file.errorString()));
    }
}

void XdgAutostartLoginItem::unregisterItem() {
    if (status() == Status::notFound) {
        throw VantorError(errorDomain, 3,
                          QStringLiteral("The autostart entry %1 starts another program; "
                                         "Vantor leaves it to you to remove.")
                              .arg(entryPath()));
    }
    QFile file(entryPath());
    if (file.exists() && !file.remove()) {
        throw VantorError(errorDomain, 4,
                          QStringLiteral("The autostart entry %1 cannot be removed: %2")
                              .arg(entryPath(), file.errorString()));
    }
}

bool XdgAutostartLoginItem::isInstalledLocation() const {
    const QString path = canonical(executable_);
    bool underPrefix = false;
    for (const QString& prefix : prefixes_) {
        underPrefix = underPrefix || path.startsWith(canonical(prefix) + u'/');
    }
    if (!underPrefix) {
        return false;
    }
    // A build tree under a prefix (a checkout in /opt, say) is still a build tree. Walked by
    // name: the folders of a removed executable may be gone, where QDir::cdUp stays put.
    for (QString dir = QFileInfo(path).absolutePath(); !dir.isEmpty() && dir != u'/';
         dir = QFileInfo(dir).path()) {
        if (QFileInfo::exists(dir + QStringLiteral("/CMakeCache.txt"))) {
            return false;
        }
    }
    return true;
}
