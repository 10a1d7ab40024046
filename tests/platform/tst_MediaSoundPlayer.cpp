#include "MediaSoundPlayer.h"

#include <QFile>
#include <QMediaPlayer>
#include <QSignalSpy>
#include <QTest>

namespace {

QByteArray clip(const QString& id) {
    QFile file(QStringLiteral(":/voices/%1.mp3").arg(id));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

constexpr int patienceMs = 20000;

bool playsToTheEnd(QMediaPlayer* player) {
    return QTest::qWaitFor([player] { return player->mediaStatus() == QMediaPlayer::EndOfMedia; },
                           patienceMs);
}

bool givesUp(QMediaPlayer* player) {
    return QTest::qWaitFor(
        [player] {
            return player->mediaStatus() == QMediaPlayer::InvalidMedia ||
                   player->error() != QMediaPlayer::NoError;
        },
        patienceMs);
}

}  // namespace

// The test machine has no audio device: a clip must still be accepted and played out
// silently, bytes that do not decode must be refused quietly, and the player must recover.
class MediaSoundPlayerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void playsWithoutAnAudioDeviceAndAfterAStop() {
        MediaSoundPlayer player;
        player.play(clip(QStringLiteral("French_Male_Keldo")));
        player.stop();
        player.play(clip(QStringLiteral("English_Female_Ivrel")));
        QVERIFY(playsToTheEnd(player.mediaPlayer()));
        QCOMPARE(player.mediaPlayer()->error(), QMediaPlayer::NoError);
    }

    void undecodableBytesAreSilenceAndTheNextPlayWorks() {
        MediaSoundPlayer player;
        player.play(QByteArray(4096, 'x'));
        QVERIFY(givesUp(player.mediaPlayer()));
        player.play(clip(QStringLiteral("Japanese_Male_Tolvan")));
        QVERIFY(playsToTheEnd(player.mediaPlayer()));
    }
};

QTEST_GUILESS_MAIN(MediaSoundPlayerTest)
#include "tst_MediaSoundPlayer.moc"
