#include "CardText.h"
#include "ProviderCardViewModel.h"
#include "SettingsText.h"
#include "StatusLabelText.h"
#include "UsageColor.h"
#include "UsageFixtures.h"

#include <QTest>

using Availability = std::optional<ProviderAvailability>;
using Snapshot = std::optional<ProviderUsageSnapshot>;
using Percent = std::optional<double>;
Q_DECLARE_METATYPE(Availability)
Q_DECLARE_METATYPE(Snapshot)
Q_DECLARE_METATYPE(Percent)
Q_DECLARE_METATYPE(UsageColor)
Q_DECLARE_METATYPE(MenuBarVisualState)

namespace {

using namespace UsageFixtures;

UsageWindowSnapshot kindWindow(UsageWindowKind kind, UsageWindowState state, Percent used,
                               const QString& id = QStringLiteral("w")) {
    UsageWindowSnapshot w = window(id, state, used);
    w.kind = kind;
    w.label = QStringLiteral("Custom label");
    return w;
}

Snapshot one(UsageWindowKind kind, UsageWindowState state, Percent used) {
    return snapshot({kindWindow(kind, state, used)});
}

const auto available = UsageWindowState::available;

}  // namespace

// The words and numbers a card shows, from the snapshot and availability alone.
class CardTextTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void summary_data() {
        QTest::addColumn<Snapshot>("snapshot");
        QTest::addColumn<Availability>("availability");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<Percent>("ring");
        const auto none = Availability();
        const auto signedOut = Availability(ProviderAvailability::notAuthenticated());
        QTest::newRow("half rounds away from zero")
            << one(UsageWindowKind::fiveHour, available, 41.5) << none
            << QStringLiteral("5h \u2022 59% left") << Percent(41.5);
        QTest::newRow("weekly, below zero is all left")
            << one(UsageWindowKind::weekly, available, -3.0) << none
            << QStringLiteral("Weekly \u2022 100% left") << Percent(0.0);
        QTest::newRow("model week over 100")
            << one(UsageWindowKind::modelWeekly, UsageWindowState::nearingLimit, 130.0) << none
            << QStringLiteral("Model week \u2022 0% left") << Percent(100.0);
        QTest::newRow("other kind") << one(UsageWindowKind::other, available, 10.4) << none
                                    << QStringLiteral("Usage \u2022 90% left") << Percent(10.4);
        QTest::newRow("exhausted whatever its share")
            << one(UsageWindowKind::fiveHour, UsageWindowState::exhausted, 97.0) << none
            << QStringLiteral("Limit reached") << Percent(97.0);
        QTest::newRow("no percentage") << one(UsageWindowKind::fiveHour, available, Percent())
                                       << none << QStringLiteral("Available") << Percent();
        QTest::newRow("snapshot wins over a later sign-out")
            << one(UsageWindowKind::fiveHour, available, 20.0) << signedOut
            << QStringLiteral("5h \u2022 80% left") << Percent(20.0);
        QTest::newRow("snapshot without windows")
            << Snapshot(snapshot({})) << signedOut << QStringLiteral("Sign in required")
            << Percent();
        const QList<std::pair<ProviderAvailability, QString>> byAvailability{
            {ProviderAvailability::available(), QStringLiteral("Loading")},
            {ProviderAvailability::notInstalled(), QStringLiteral("Not installed")},
            {ProviderAvailability::requiresProPlan(), QStringLiteral("Upgrade to Pro")},
            {ProviderAvailability::unsupported(), QStringLiteral("Unavailable")},
            {ProviderAvailability::temporarilyUnavailable(QStringLiteral("x")),
             QStringLiteral("Unavailable")}};
        for (const auto& [availability, text] : byAvailability) {
            QTest::addRow("no snapshot, %s", qPrintable(rawValue(availability.kind())))
                << Snapshot() << Availability(availability) << text << Percent();
        }
        QTest::newRow("nothing known")
            << Snapshot() << none << QStringLiteral("Unavailable") << Percent();
    }
    void summary() {
        QFETCH(Snapshot, snapshot);
        QFETCH(Availability, availability);
        QFETCH(QString, summary);
        QFETCH(Percent, ring);
        QCOMPARE(CardText::summary(snapshot, availability), summary);
        QCOMPARE(CardText::usedPercent(snapshot), ring);
    }

    void usageColor_data() {
        QTest::addColumn<Percent>("used");
        QTest::addColumn<UsageColor>("color");
        QTest::newRow("19.9 left") << Percent(80.1) << UsageColor::red;
        QTest::newRow("20 left") << Percent(80.0) << UsageColor::yellow;
        QTest::newRow("40 left") << Percent(60.0) << UsageColor::yellow;
        QTest::newRow("40.5 left") << Percent(59.5) << UsageColor::blue;
        QTest::newRow("absent") << Percent() << UsageColor::blue;
        QTest::newRow("below zero") << Percent(-5.0) << UsageColor::blue;
        QTest::newRow("above 100") << Percent(140.0) << UsageColor::red;
    }
    void usageColor() {
        QFETCH(Percent, used);
        QFETCH(UsageColor, color);
        QCOMPARE(::usageColor(used), color);
    }

    void limitRow_data() {
        QTest::addColumn<UsageWindowKind>("kind");
        QTest::addColumn<Percent>("used");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("remaining");
        QTest::addColumn<double>("ring");
        QTest::newRow("five hours, half up")
            << UsageWindowKind::fiveHour << Percent(41.5) << QStringLiteral("5h limit")
            << QStringLiteral("59% left") << 0.415;
        QTest::newRow("weekly, absent is all left")
            << UsageWindowKind::weekly << Percent() << QStringLiteral("Weekly limit")
            << QStringLiteral("100% left") << 0.01;
        QTest::newRow("model week over 100")
            << UsageWindowKind::modelWeekly << Percent(120.0) << QStringLiteral("Model week")
            << QStringLiteral("0% left") << 1.0;
        QTest::newRow("other shows its label")
            << UsageWindowKind::other << Percent(0.4) << QStringLiteral("Custom label")
            << QStringLiteral("100% left") << 0.01;
    }
    void limitRow() {
        QFETCH(UsageWindowKind, kind);
        QFETCH(Percent, used);
        QFETCH(QString, title);
        QFETCH(QString, remaining);
        QFETCH(double, ring);
        const UsageWindowSnapshot w = kindWindow(kind, available, used);
        QCOMPARE(CardText::limitTitle(w), title);
        QCOMPARE(CardText::remainingText(w), remaining);
        QCOMPARE(ProviderCardViewModel::ringProgress(CardText::limitUsedPercent(w)), ring);
        // Without a reset time the row is announced as such.
        QCOMPARE(CardText::limitAccessibilityLabel(w, t0, QLocale(QLocale::English)),
                 title + QStringLiteral(", resets Reset unavailable"));
    }

    void detailWindows_data() {
        QTest::addColumn<QList<UsageWindowKind>>("kinds");
        QTest::addColumn<QStringList>("ids");
        using K = UsageWindowKind;
        QTest::newRow("qualifying ones, first two")
            << QList<K>{K::other, K::weekly, K::fiveHour, K::weekly}
            << QStringList{QStringLiteral("1"), QStringLiteral("2")};
        QTest::newRow("none qualify: first two of all")
            << QList<K>{K::modelWeekly, K::other, K::other}
            << QStringList{QStringLiteral("0"), QStringLiteral("1")};
        QTest::newRow("empty") << QList<K>{} << QStringList{};
    }
    void detailWindows() {
        QFETCH(QList<UsageWindowKind>, kinds);
        QFETCH(QStringList, ids);
        QList<UsageWindowSnapshot> windows;
        for (qsizetype i = 0; i < kinds.size(); ++i) {
            windows.append(kindWindow(kinds[i], available, 1.0, QString::number(i)));
        }
        QStringList chosen;
        for (const auto& w : CardText::detailWindows(snapshot(windows))) {
            chosen.append(w.id);
        }
        QCOMPARE(chosen, ids);
        QVERIFY(CardText::detailWindows(Snapshot()).isEmpty());
    }

    void fixedWords() {
        QCOMPARE(CardText::detailsEmptyText(ProviderAvailability::available()),
                 QStringLiteral("Usage data unavailable"));
        QCOMPARE(CardText::detailsEmptyText(std::nullopt),
                 QStringLiteral("Usage data unavailable"));
        QCOMPARE(CardText::detailsEmptyText(ProviderAvailability::requiresProPlan()),
                 QStringLiteral("Upgrade to Pro"));
        QCOMPARE(CardText::ringAccessibilityLabel(ProviderID::claude),
                 QStringLiteral("Claude usage"));
        QCOMPARE(CardText::ringAccessibilityValue(41.5), QStringLiteral("42 percent used"));
        QCOMPARE(CardText::expansionHint(true), QStringLiteral("Collapse usage details"));
        QCOMPARE(CardText::expansionHint(false), QStringLiteral("Expand usage details"));
    }

    void statusLabel_data() {
        QTest::addColumn<MenuBarVisualState>("state");
        QTest::addColumn<QString>("text");
        QTest::newRow("normal") << MenuBarVisualState::normal << QStringLiteral("Vantor");
        QTest::newRow("warning") << MenuBarVisualState::warning
                                 << QStringLiteral("Vantor: usage nearing limit");
        QTest::newRow("exhausted")
            << MenuBarVisualState::exhausted << QStringLiteral("Vantor: limit reached");
        QTest::newRow("unavailable")
            << MenuBarVisualState::unavailable << QStringLiteral("Vantor: providers unavailable");
    }
    void statusLabel() {
        QFETCH(MenuBarVisualState, state);
        QFETCH(QString, text);
        QCOMPARE(StatusLabelText::accessibilityText(state), text);
    }

    void settingsAvailability_data() {
        QTest::addColumn<Availability>("availability");
        QTest::addColumn<QString>("text");
        QTest::newRow("never probed") << Availability() << QStringLiteral("Not detected");
        QTest::newRow("available")
            << Availability(ProviderAvailability::available()) << QStringLiteral("Connected");
        QTest::newRow("signed out") << Availability(ProviderAvailability::notAuthenticated())
                                    << QStringLiteral("Sign in required");
        QTest::newRow("unsupported")
            << Availability(ProviderAvailability::unsupported()) << QStringLiteral("Not detected");
        QTest::newRow("temporarily")
            << Availability(ProviderAvailability::temporarilyUnavailable(QStringLiteral("x")))
            << QStringLiteral("Unavailable");
    }
    void settingsAvailability() {
        QFETCH(Availability, availability);
        QFETCH(QString, text);
        QCOMPARE(SettingsText::availabilityText(availability), text);
    }

    void settingsWords() {
        QCOMPARE(SettingsText::languageText(CustomAudioLanguage::automatic),
                 QStringLiteral("Automatic (Mac language)"));
        QCOMPARE(SettingsText::languageText(CustomAudioLanguage::japanese),
                 QStringLiteral("Japanese"));
        QCOMPARE(SettingsText::genderText(CustomAudioGender::male), QStringLiteral("Male"));
        QCOMPARE(SettingsText::capitalized(QStringLiteral("brazilian portuguese")),
                 QStringLiteral("Brazilian Portuguese"));
        QCOMPARE(SettingsText::providerTitle(ProviderID::claude), QStringLiteral("Claude Code"));
    }
};

QTEST_GUILESS_MAIN(CardTextTest)
#include "tst_CardText.moc"
