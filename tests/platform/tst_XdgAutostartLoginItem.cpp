#include "LaunchAtLoginController.h"
#include "MemoryDefaults.h"
#include "VantorError.h"
#include "XdgAutostartLoginItem.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using Status = LoginItemService::Status;
Q_DECLARE_METATYPE(Status)

namespace {

// A copy of Vantor installed under <root>/usr/bin, and the autostart folder beside it.
class Installation {
public:
    explicit Installation(const QString& executableName = QStringLiteral("vantor"),
                          const QString& binFolder = QStringLiteral("usr/bin")) {
        QDir(root_.path()).mkpath(binFolder);
        executable_ = root_.filePath(binFolder + u'/' + executableName);
        QFile file(executable_);
        file.open(QIODevice::WriteOnly);
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                            QFileDevice::ExeOwner);
    }

    XdgAutostartLoginItem item() const {
        return XdgAutostartLoginItem(executable_, autostart(),
                                     {root_.filePath(QStringLiteral("usr"))});
    }
    QString executable() const { return executable_; }
    QString autostart() const { return root_.filePath(QStringLiteral("autostart")); }
    QString root() const { return root_.path(); }
    QString entryPath() const {
        return autostart() + QStringLiteral("/com.quorvel.vantor.desktop");
    }

    void writeEntry(QByteArray text) const {
        QDir().mkpath(autostart());
        QFile file(entryPath());
        file.open(QIODevice::WriteOnly);
        file.write(text.replace("%EXE%", QFile::encodeName(executable_)));
    }

private:
    QTemporaryDir root_;
    QString executable_;
};

}  // namespace

class XdgAutostartLoginItemTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void status_data() {
        QTest::addColumn<QByteArray>("entry");  // null: no entry
        QTest::addColumn<Status>("status");
        const QByteArray group = "[Desktop Entry]\nType=Application\n";
        QTest::newRow("no entry") << QByteArray() << Status::notRegistered;
        QTest::newRow("ours") << group + "Exec=%EXE%\n" << Status::enabled;
        QTest::newRow("ours, quoted, with arguments") << group + "Exec=\"%EXE%\" --flag\n"
                                                      << Status::enabled;
        QTest::newRow("bare name on PATH") << group + "Exec=vantor\n" << Status::enabled;
        QTest::newRow("hidden by the user") << group + "Exec=%EXE%\nHidden=true\n"
                                            << Status::requiresApproval;
        QTest::newRow("switched off in GNOME")
            << group + "Exec=%EXE%\nX-GNOME-Autostart-enabled=false\n"
            << Status::requiresApproval;
        QTest::newRow("another program") << group + "Exec=/usr/bin/env vantor\n"
                                         << Status::notFound;
        QTest::newRow("ours only in an action group")
            << group + "Name=x\n[Desktop Action a]\nExec=%EXE%\n"
            << Status::notFound;
        QTest::newRow("not text") << QByteArray("\x00\xff\xfe[Desktop", 10) << Status::notFound;
    }
    void status() {
        QFETCH(QByteArray, entry);
        QFETCH(Status, status);
        const Installation installation;
        const QByteArray savedPath = qgetenv("PATH");
        qputenv("PATH",
                QFile::encodeName(QFileInfo(installation.executable()).path()) + ':' + savedPath);
        if (!entry.isNull()) {
            installation.writeEntry(entry);
        }
        const Status actual = installation.item().status();
        qputenv("PATH", savedPath);
        QCOMPARE(actual, status);
    }

    // Whatever the path holds, the entry written starts exactly this executable.
    void registerWritesAnEntryThatStartsUs_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << QStringLiteral("vantor");
        QTest::newRow("spaces and quotes") << QStringLiteral("my \"vantor\" copy");
        QTest::newRow("shell and field-code characters") << QStringLiteral("v$HOME`x`\\%f");
    }
    void registerWritesAnEntryThatStartsUs() {
        QFETCH(QString, name);
        const Installation installation(name);
        XdgAutostartLoginItem item = installation.item();
        item.registerItem();
        QCOMPARE(item.status(), Status::enabled);
        // Written in one piece: nothing but the entry is left in the folder.
        QCOMPARE(QDir(installation.autostart()).entryList(QDir::Files),
                 QStringList{QStringLiteral("com.quorvel.vantor.desktop")});
        item.unregisterItem();
        QCOMPARE(item.status(), Status::notRegistered);
        QVERIFY(!QFile::exists(installation.entryPath()));
    }

    void anotherProgramsEntryIsNotRemoved() {
        const Installation installation;
        installation.writeEntry("[Desktop Entry]\nExec=/opt/other/vantor\n");
        XdgAutostartLoginItem item = installation.item();
        QVERIFY_THROWS_EXCEPTION(VantorError, item.unregisterItem());
        QVERIFY(QFile::exists(installation.entryPath()));
        // Switching on replaces it, since the user asked for this copy.
        item.registerItem();
        QCOMPARE(item.status(), Status::enabled);
    }

    void unwritableFolderThrows() {
        const Installation installation;
        QFile blocker(installation.autostart());
        QVERIFY(blocker.open(QIODevice::WriteOnly));  // a file where the folder should be
        XdgAutostartLoginItem item = installation.item();
        QVERIFY_THROWS_EXCEPTION(VantorError, item.registerItem());
    }

    // The first launch through the controller, over the real entry.
    void firstLaunch_data() {
        QTest::addColumn<QString>("binFolder");
        QTest::addColumn<bool>("buildTree");  // a CMakeCache.txt two folders up
        QTest::addColumn<QByteArray>("existing");
        QTest::addColumn<Status>("status");
        QTest::addColumn<bool>("configured");
        const QString installed = QStringLiteral("usr/bin");
        QTest::newRow("installed copy registers itself")
            << installed << false << QByteArray() << Status::enabled << true;
        QTest::newRow("outside every prefix")
            << QStringLiteral("src/app") << false << QByteArray() << Status::notRegistered << false;
        QTest::newRow("a build tree under a prefix")
            << QStringLiteral("usr/build/app") << true << QByteArray() << Status::notRegistered
            << false;
        QTest::newRow("a folder that only starts like a prefix")
            << QStringLiteral("usrlocal/bin") << false << QByteArray() << Status::notRegistered
            << false;
        QTest::newRow("another program's entry is left alone")
            << installed << false << QByteArray("[Desktop Entry]\nExec=/bin/other\n")
            << Status::notFound << true;
        QTest::newRow("an entry the user switched off stays off")
            << installed << false << QByteArray("[Desktop Entry]\nExec=%EXE%\nHidden=true\n")
            << Status::requiresApproval << true;
    }
    void firstLaunch() {
        QFETCH(QString, binFolder);
        QFETCH(bool, buildTree);
        QFETCH(QByteArray, existing);
        QFETCH(Status, status);
        QFETCH(bool, configured);
        const Installation installation(QStringLiteral("vantor"), binFolder);
        if (buildTree) {
            QFile cache(installation.root() + QStringLiteral("/usr/build/CMakeCache.txt"));
            QVERIFY(cache.open(QIODevice::WriteOnly));
        }
        if (!existing.isNull()) {
            installation.writeEntry(existing);
        }
        XdgAutostartLoginItem item = installation.item();
        MemoryDefaults defaults;
        LaunchAtLoginController::enableByDefaultIfNeeded(item, defaults);
        QCOMPARE(item.status(), status);
        QCOMPARE(defaults.contains(LaunchAtLoginController::configuredKey), configured);
    }
};

QTEST_GUILESS_MAIN(XdgAutostartLoginItemTest)
#include "tst_XdgAutostartLoginItem.moc"
