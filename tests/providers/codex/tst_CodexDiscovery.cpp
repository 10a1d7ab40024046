#include "CodexDiscovery.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

void makeFile(const QString& path, QFile::Permissions permissions) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n");
    file.close();
    QVERIFY(file.setPermissions(permissions));
}

const QFile::Permissions executable =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
const QFile::Permissions plain = QFile::ReadOwner | QFile::WriteOwner;

}  // namespace

class CodexDiscoveryTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { savedPath_ = qgetenv("PATH"); }
    void cleanup() { qputenv("PATH", savedPath_); }

    void pathEntriesComeFirstThenTheFixedFolders() {
        const QStringList candidates = CodexDiscovery::candidatePaths(
            QStringLiteral("/usr/bin::/custom/bin:"), QStringLiteral("/h"));
        // Empty entries are skipped; the fixed folders follow, duplicates and all.
        const QStringList fixed = CodexDiscovery::candidatePaths({}, QStringLiteral("/h"));
        QCOMPARE(candidates, QStringList({QStringLiteral("/usr/bin/codex"),
                                          QStringLiteral("/custom/bin/codex")}) +
                                 fixed);
        QVERIFY(fixed.contains(QStringLiteral("/h/.local/bin/codex")));
    }

    void newestNvmFolderByVersion_data() {
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QString>("newest");
        QTest::newRow("none") << QStringList{} << QString();
        QTest::newRow("numeric, not by name")
            << QStringList{QStringLiteral("v9.11.2"), QStringLiteral("v10.2.0"),
                           QStringLiteral("v10.10.0")}
            << QStringLiteral("v10.10.0");
        QTest::newRow("junk ignored")
            << QStringList{QStringLiteral("v18.0.0"), QStringLiteral("system"),
                           QStringLiteral("v99-broken")}
            << QStringLiteral("v18.0.0");
    }
    void newestNvmFolderByVersion() {
        QFETCH(QStringList, folders);
        QFETCH(QString, newest);
        QTemporaryDir home;
        for (const QString& folder : folders) {
            QVERIFY(QDir().mkpath(home.filePath(QStringLiteral(".nvm/versions/node/") + folder)));
        }
        const QString found = CodexDiscovery::newestNvmNodeFolder(home.path());
        QCOMPARE(QFileInfo(found).fileName(), newest);
        const QStringList candidates = CodexDiscovery::candidatePaths({}, home.path());
        if (!newest.isEmpty()) {
            QCOMPARE(candidates.last(), found + QStringLiteral("/bin/codex"));
        }
    }

    // The search skips what cannot be launched and takes the first that can.
    void firstExecutableFileWins() {
        QTemporaryDir dirs;
        const QString notExecutable = dirs.filePath(QStringLiteral("a"));
        const QString folderNamedCodex = dirs.filePath(QStringLiteral("b"));
        const QString good = dirs.filePath(QStringLiteral("c"));
        const QString later = dirs.filePath(QStringLiteral("d"));
        makeFile(notExecutable + QStringLiteral("/codex"), plain);
        QVERIFY(QDir().mkpath(folderNamedCodex + QStringLiteral("/codex")));
        makeFile(good + QStringLiteral("/codex"), executable);
        makeFile(later + QStringLiteral("/codex"), executable);
        qputenv("PATH", QFile::encodeName(
                            QStringList{notExecutable, folderNamedCodex, good, later}.join(u':')));
        const auto found = CodexDiscovery::executableURL();
        QVERIFY(found.has_value());
        QCOMPARE(found->toLocalFile(), good + QStringLiteral("/codex"));
    }

    void homeFoldersAreSearchedAfterPath() {
        QTemporaryDir pathDir;
        const QString inHome = QDir::homePath() + QStringLiteral("/.local/bin/codex");
        makeFile(inHome, executable);
        qputenv("PATH", QFile::encodeName(pathDir.path()));
        auto found = CodexDiscovery::executableURL();
        QVERIFY(found.has_value());
        QCOMPARE(found->toLocalFile(), inHome);

        makeFile(pathDir.filePath(QStringLiteral("codex")), executable);
        found = CodexDiscovery::executableURL();
        QVERIFY(found.has_value());
        QCOMPARE(found->toLocalFile(), pathDir.filePath(QStringLiteral("codex")));

        // Removed while running: the next search notices.
        QVERIFY(QFile::remove(pathDir.filePath(QStringLiteral("codex"))));
        QVERIFY(QFile::remove(inHome));
        qputenv("PATH", QFile::encodeName(pathDir.path()));
        for (const QString& fixed : CodexDiscovery::candidatePaths({}, QDir::homePath())) {
            if (QFileInfo(fixed).isExecutable()) {
                QSKIP("A codex is installed on this machine.");
            }
        }
        QCOMPARE(CodexDiscovery::executableURL(), std::nullopt);
    }

private:
    QByteArray savedPath_;
};

QTEST_GUILESS_MAIN(CodexDiscoveryTest)
#include "tst_CodexDiscovery.moc"
