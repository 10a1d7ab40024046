#include "CustomAlertVoice.h"
#include "FakeSoundPlayer.h"
#include "ResetAlertAudioManager.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray clip(const QString& id) {
    QFile file(QStringLiteral(":/voices/%1.mp3").arg(id));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList names(const QList<CustomAlertVoice>& voices) {
    QStringList result;
    for (const CustomAlertVoice& voice : voices) {
        result.append(voice.name);
    }
    return result;
}

QString soxStatistic(const QString& path, const QString& name) {
    QProcess sox;
    sox.start(QStringLiteral("sox"), {path, QStringLiteral("-n"), QStringLiteral("stat")});
    if (!sox.waitForFinished(30000)) {
        sox.kill();
        sox.waitForFinished();
        return {};
    }
    const QString report = QString::fromUtf8(sox.readAllStandardError());
    const QRegularExpression line(QRegularExpression::escape(name) + QStringLiteral(":\\s*(\\S+)"));
    return line.match(report).captured(1);
}

}  // namespace

class ResetAlertAudioTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void resolvedCode_data() {
        QTest::addColumn<CustomAudioLanguage>("language");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("code");
        const auto automatic = CustomAudioLanguage::automatic;
        QTest::newRow("automatic, French") << automatic << "fr_CA"
                                           << "fr";
        QTest::newRow("automatic, Japanese") << automatic << "ja_JP"
                                             << "ja";
        QTest::newRow("automatic, German") << automatic << "de_DE"
                                           << "en";
        QTest::newRow("automatic, C locale") << automatic << "C"
                                             << "en";
        QTest::newRow("English despite Japanese") << CustomAudioLanguage::english << "ja_JP"
                                                  << "en";
        QTest::newRow("French despite English") << CustomAudioLanguage::french << "en_US"
                                                << "fr";
    }
    void resolvedCode() {
        QFETCH(CustomAudioLanguage, language);
        QFETCH(QString, locale);
        QFETCH(QString, code);
        QCOMPARE(::resolvedCode(language, QLocale(locale)), code);
    }

    // Labels number the voices that share a name, in catalogue order.
    void choicesFollowCatalogueOrder() {
        QCOMPARE(
            names(CustomAlertVoice::choices(CustomAudioLanguage::french, CustomAudioGender::male,
                                            QLocale(QLocale::English))),
            (QStringList{"Dastor 1", "Dastor 2", "Keldo", "Keldo 1", "Keldo 2",
                         "Keldo alternative"}));
    }

    // Each catalogue voice has a real clip: 1 to 4 seconds of audible speech.
    void everyVoiceHasAnAudibleClip_data() {
        QTest::addColumn<QString>("id");
        for (const CustomAlertVoice& voice : CustomAlertVoice::all()) {
            QTest::newRow(qPrintable(voice.id)) << voice.id;
        }
    }
    void everyVoiceHasAnAudibleClip() {
        QFETCH(QString, id);
        const QByteArray bytes = clip(id);
        // An ID3 tag or an MPEG audio frame header.
        QVERIFY(bytes.startsWith("ID3") || (bytes.size() > 1 && quint8(bytes[0]) == 0xff &&
                                            (quint8(bytes[1]) & 0xe0) == 0xe0));
        QTemporaryDir dir;
        const QString path = dir.filePath(id + QStringLiteral(".mp3"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        const double seconds = soxStatistic(path, QStringLiteral("Length (seconds)")).toDouble();
        const double rms = soxStatistic(path, QStringLiteral("RMS     amplitude")).toDouble();
        QVERIFY2(seconds >= 1.0 && seconds <= 4.0, qPrintable(QString::number(seconds)));
        QVERIFY2(rms > 0.02, qPrintable(QString::number(rms)));
    }

    void clipsAreDistinct() {
        QSet<QByteArray> seen;
        for (const CustomAlertVoice& voice : CustomAlertVoice::all()) {
            seen.insert(clip(voice.id));
        }
        QCOMPARE(seen.size(), CustomAlertVoice::all().size());
    }

    void playPicksTheVoice_data() {
        QTest::addColumn<CustomAudioLanguage>("language");
        QTest::addColumn<QString>("customVoiceID");  // empty: none stored
        QTest::addColumn<QString>("played");
        const auto english = CustomAudioLanguage::english;
        const auto french = CustomAudioLanguage::french;
        QTest::newRow("stored voice of another language falls back")
            << english << "French_Male_Keldo_2"
            << "English_Male_Tolvan";
        QTest::newRow("no stored voice plays the first choice") << french << ""
                                                                << "French_Male_Dastor_1";
        QTest::newRow("stored voice among the choices") << french << "French_Male_Keldo_2"
                                                        << "French_Male_Keldo_2";
    }
    void playPicksTheVoice() {
        QFETCH(CustomAudioLanguage, language);
        QFETCH(QString, customVoiceID);
        QFETCH(QString, played);
        auto recording = std::make_shared<FakeSoundPlayer::Recording>();
        ResetAlertAudioManager manager(FakeSoundPlayer::factory(recording));
        manager.play(language, CustomAudioGender::male,
                     customVoiceID.isEmpty() ? std::nullopt : std::optional(customVoiceID));
        QCOMPARE(recording->clips, QList<QByteArray>{clip(played)});
    }

    void secondPlayStopsTheFirstAndReusesThePlayer() {
        auto recording = std::make_shared<FakeSoundPlayer::Recording>();
        ResetAlertAudioManager manager(FakeSoundPlayer::factory(recording));
        QCOMPARE(recording->playersMade, 0);
        manager.play(CustomAudioLanguage::english, CustomAudioGender::female, std::nullopt);
        manager.play(CustomAudioLanguage::japanese, CustomAudioGender::male, std::nullopt);
        QCOMPARE(recording->playersMade, 1);
        QCOMPARE(recording->calls, (QStringList{"play", "stop", "play"}));
        QCOMPARE(recording->clips.last(), clip(QStringLiteral("Japanese_Male_Tolvan")));
    }

    void missingOrEmptyClipPlaysNothing() {
        QTemporaryDir dir;
        QFile empty(dir.filePath(QStringLiteral("English_Male_Tolvan.mp3")));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();
        auto recording = std::make_shared<FakeSoundPlayer::Recording>();
        ResetAlertAudioManager manager(FakeSoundPlayer::factory(recording), dir.path());
        manager.play(CustomAudioLanguage::english, CustomAudioGender::female, std::nullopt);
        manager.play(CustomAudioLanguage::english, CustomAudioGender::male, std::nullopt);
        QVERIFY(recording->clips.isEmpty());
        QCOMPARE(recording->playersMade, 0);
    }
};

QTEST_GUILESS_MAIN(ResetAlertAudioTest)
#include "tst_ResetAlertAudio.moc"
