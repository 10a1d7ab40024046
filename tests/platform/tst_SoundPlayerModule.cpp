// The sound player loaded from its module, in a process that does not link Qt Multimedia.
#include "SoundPlayerModule.h"
#include "TestData.h"

#include <QTest>

namespace {

using namespace Qt::StringLiterals;

bool multimediaLoaded() {
    return TestData::read(u"/proc/self/maps"_s).contains("libQt6Multimedia");
}

}  // namespace

class SoundPlayerModuleTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Qt Multimedia arrives with the first player, which then plays; a module that cannot be
    // loaded is silence with a warning, never a crash.
    void loadedOnFirstUse() {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^vantor: no sound: "_s));
        QVERIFY(!SoundPlayerModule::makePlayer(u"/nonexistent/vantor-sound.so"_s));
        QVERIFY(!multimediaLoaded());
        const std::unique_ptr<SoundPlayer> player =
            SoundPlayerModule::makePlayer(QStringLiteral(VANTOR_SOUND_MODULE));
        QVERIFY(player);
        QVERIFY(multimediaLoaded());
        player->play(TestData::read(u":/voices/English_Female_Ivrel.mp3"_s));
        player->stop();
        player->play(QByteArray(4096, 'x'));
    }
};

QTEST_GUILESS_MAIN(SoundPlayerModuleTest)
#include "tst_SoundPlayerModule.moc"
