// The interface layer: the card texts as tables, the view models over fakes, and the windows
// and tray icon on the offscreen platform.
#include "AccountRegistry.h"
#include "AppState.h"
#include "CardText.h"
#include "ClaudeParser.h"
#include "CodexParser.h"
#include "Contrast.h"
#include "Countdown.h"
#include "DBusMenuExporter.h"
#include "FakeLoginItemService.h"
#include "FakeNotificationCenter.h"
#include "FakeSoundPlayer.h"
#include "InterfaceLanguage.h"
#include "LaunchAtLoginController.h"
#include "MemoryDefaults.h"
#include "MoneyText.h"
#include "PopoverDismissal.h"
#include "PopoverPlacement.h"
#include "PopoverViewModel.h"
#include "ProviderCardViewModel.h"
#include "RecordingLogSink.h"
#include "SettingsText.h"
#include "SettingsViewModel.h"
#include "SettingsWindowPresenter.h"
#include "StatusNotifierItem.h"
#include "StatusReport.h"
#include "TestData.h"
#include "Theme.h"
#include "TrayFigure.h"
#include "TrayGlyph.h"
#include "TrayIcon.h"
#include "UsageColor.h"
#include "UsageCoordinator.h"
#include "UsageFixtures.h"
#include "UsageJson.h"
#include "VantorInterface.h"

#include <QAbstractItemModelTester>
#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QJsonObject>
#include <QMenu>
#include <QMetaEnum>
#include <QPointer>
#include <QQuickItem>
#include <QQuickView>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QTranslator>

#include <cmath>

using Availability = std::optional<ProviderAvailability>;
using Snapshot = std::optional<ProviderUsageSnapshot>;
using Percent = std::optional<double>;

namespace {

using namespace UsageFixtures;
using State = UsageWindowState;
using Kind = UsageWindowKind;

Percent percent(const QJsonValue& value) {
    return value.isDouble() ? Percent(value.toDouble()) : std::nullopt;
}

// A window as a table row gives it: kind (five-hour), state (available), share used, seconds
// to the reset (30; null: none), label ("Custom label") and whether it binds now. Its place in
// the row's list is its id.
UsageWindowSnapshot windowFrom(const QJsonValue& w, qsizetype place, ProviderID provider) {
    const QJsonValue resetIn = w["resetIn"];
    UsageWindowSnapshot made = window(
        QString::number(place),
        fromRawValue<State>(w["state"].toString()).value_or(State::available), percent(w["used"]),
        resetIn.isNull() ? std::nullopt : std::optional(t0.addingSeconds(resetIn.toDouble(30))),
        provider);
    made.kind = fromRawValue<Kind>(w["kind"].toString()).value_or(Kind::fiveHour);
    made.label = w["label"].toString(QStringLiteral("Custom label"));
    made.isActive = w["active"].isBool() ? std::optional(w["active"].toBool()) : std::nullopt;
    return made;
}

// Claude's five-hour window spent until `reset`.
ProviderUsageSnapshot claudeSpent(Instant reset) {
    return snapshot(
        {window("claude.five_hour", State::exhausted, 100.0, reset, ProviderID::claude)},
        ProviderID::claude);
}

// An account as a table gives it: "claude@w1:work" (id, then name), "-" before it when not
// watched; an account other than the default one was found in a folder of its own.
QList<UsageAccount> accountsFrom(const QJsonValue& given) {
    QList<UsageAccount> accounts;
    for (const QJsonValue entry : given.toArray()) {
        const QStringList parts = entry.toString().split(u':');
        const bool watched = !parts[0].startsWith(u'-');
        const auto id = fromRawValue<ProviderID>(parts[0].mid(watched ? 0 : 1)).value();
        accounts.append(
            {id, "/accounts/" + parts[0], parts.value(1), watched,
             id.isDefault() ? UsageAccount::Origin::standard : UsageAccount::Origin::found});
    }
    return accounts;
}

Availability availability(const QJsonObject& row) {
    return row.contains("availability") ? UsageJson::decodeAvailability(row["availability"])
                                        : Availability();
}

// The whole interface over memory defaults, a recording player, a coordinator without
// providers and the accounts of an empty home.
struct Fixture {
    MemoryDefaults defaults;
    FakeNotificationCenter center;
    FakeLoginItemService loginItem;
    RecordingLogSink log;
    std::shared_ptr<FakeSoundPlayer::Recording> sound =
        std::make_shared<FakeSoundPlayer::Recording>();
    AppState state{defaults,
                   std::make_unique<ResetAlertAudioManager>(FakeSoundPlayer::factory(sound))};
    UsageCoordinator coordinator{{}, {defaults, center, log}};
    // Nothing signed in: the two default accounts.
    QTemporaryDir home;
    AccountRegistry accounts{defaults, state, AccountDiscovery({home.path(), {}, {}})};
};

// The window's items of that name, in the order they stand; a Repeater's too, which are not
// its QObject children.
QList<QQuickItem*> items(QQuickWindow* view, const QRegularExpression& name) {
    QList<QQuickItem*> found;
    for (QList<QQuickItem*> next{view->contentItem()}; !next.isEmpty();) {
        QQuickItem* each = next.takeFirst();
        next += each->childItems();
        if (name.match(each->objectName()).hasMatch()) {
            found.append(each);
        }
    }
    return found;
}

QQuickItem* item(QQuickWindow* view, const char* name) {
    return items(view, QRegularExpression(QStringLiteral("^%1$").arg(QLatin1String(name))))
        .value(0);
}

// A call from the panel's side over a connection of its own, answered while the loop runs.
QDBusMessage ask(const QString& service, const QString& path, const QString& interface,
                 const QString& method, const QVariantList& arguments) {
    static QDBusConnection host =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("host"));
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
    call.setArguments(arguments);
    QDBusPendingCallWatcher reply(host.asyncCall(call, 5000));
    QSignalSpy done(&reply, &QDBusPendingCallWatcher::finished);
    if (!reply.isFinished()) {
        done.wait(6000);
    }
    return reply.reply();
}

// WCAG's contrast ratio of two colours.
double contrast(const QColor& one, const QColor& other) {
    const auto luminance = [](const QColor& c) {
        const auto linear = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const auto [low, high] = std::minmax({luminance(one), luminance(other)});
    return (high + 0.05) / (low + 0.05);
}

}  // namespace

// A panel's watcher on a bus connection of its own, so it can come after Vantor, go, or wait
// in the queue for the name and take it over.
class FakeWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")

public:
    explicit FakeWatcher(const QString& connection)
        : bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, connection)) {
        bus_.registerObject("/StatusNotifierWatcher", this, QDBusConnection::ExportAllSlots);
        bus_.interface()->registerService(TrayIcon::watcherService,
                                          QDBusConnectionInterface::QueueService);
    }
    ~FakeWatcher() override { QDBusConnection::disconnectFromBus(bus_.name()); }
    QStringList items;

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString& service) { items.append(service); }

private:
    QDBusConnection bus_;
};

class UiTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // English, with its plural forms, whatever the machine's language.
    void initTestCase() { InterfaceLanguage::apply(); }
    // Rows of tests/data/ui/cards.json "cards": a provider's (Codex) snapshot with its windows
    // (none: no snapshot) and extra usage, the availability, the locale (English) and the
    // seconds after t0 -> each text or number the row names; the expanded card's rows and the
    // tray menu's are joined by '|'.
    void cardTexts_data() { TestData::rows("row", "ui/cards.json", "cards"); }
    void cardTexts() {
        QFETCH(const QJsonObject, row);
        const ProviderID provider =
            fromRawValue<ProviderID>(row["provider"].toString()).value_or(ProviderID::codex);
        Snapshot given;
        if (row.contains("windows")) {
            QList<UsageWindowSnapshot> windows;
            for (const QJsonValue w : row["windows"].toArray()) {
                windows.append(windowFrom(w, windows.size(), provider));
            }
            given = snapshot(windows, provider);
            if (const QJsonObject extra = row["extra"].toObject(); !extra.isEmpty()) {
                given->extraUsage =
                    ExtraUsage{extra["used"].toDouble(), percent(extra["limit"]),
                               extra["places"].toInt(), extra["currency"].toString()};
            }
        }
        const Availability known = availability(row);
        const QLocale locale(row["locale"].toString(QStringLiteral("en")));
        const Instant now = t0.addingSeconds(row["later"].toDouble());
        const double nearing = AppState::nearingPercent(row["threshold"].toInt(90));
        QMap<QString, QStringList> details;
        for (const UsageWindowSnapshot& w : CardText::detailWindows(given)) {
            details["ids"] << w.id;
            details["rows"]
                << (CardText::limitTitle(w) + u' ' + CardText::bindingMark(w)).trimmed() +
                       QStringLiteral(": ") + CardText::remainingText(w);
            details["accessible"] << CardText::limitAccessibilityLabel(w, now, locale);
            details["progress"] << QString::number(
                ProviderCardViewModel::ringProgress(CardText::limitUsedPercent(w)));
        }
        const Percent ring = CardText::usedPercent(given);
        const auto figure =
            TrayFigure::from(given ? SnapshotMap{{provider, *given}} : SnapshotMap{}, now, nearing);
        const QJsonObject shown{
            {"summary", CardText::summary(given, known, now, locale)},
            {"ring", ring ? QJsonValue(*ring) : QJsonValue()},
            {"color",
             QStringList({"red", "yellow", "blue"})
                 .at(static_cast<int>(usageColor(CardText::severity(given, nearing, now))))},
            {"stale", CardText::staleText(given, known, now, locale)},
            {"mark", CardText::staleMark(given, known, now, locale)},
            {"notice", CardText::notice(given, known)},
            {"money", given ? MoneyText::line(*given, now, locale) : QString()},
            {"ids", details["ids"].join(u' ')},
            {"rows", details["rows"].join(u'|')},
            {"accessible", details["accessible"].join(u'|')},
            {"progress", details["progress"].join(u'|')},
            {"tray", CardText::trayMenuRows(CardText::providerName(provider), provider.kind, given,
                                            known, now, locale)
                         .join(u'|')},
            {"figure", figure ? figure->text : QString()}};
        const QStringList inputs{"name",         "provider", "windows", "extra",
                                 "availability", "locale",   "later",   "threshold"};
        for (const QString& key : row.keys()) {
            if (!inputs.contains(key)) {
                QVERIFY2(shown.contains(key), qPrintable(key));
                QCOMPARE(key + u'=' + shown[key].toVariant().toString(),
                         key + u'=' + row[key].toVariant().toString());
            }
        }
    }

    // A projection -> the pace line under its limit row (UTC, English).
    void paceText_data() { TestData::rows("row", "ui/cards.json", "pace"); }
    void paceText() {
        QFETCH(QJsonObject, row);
        qputenv("TZ", "UTC");
        const QJsonValue runsOut = row.value("runsOut");
        std::optional<UsageHistory::Projection> projection;
        if (!runsOut.isUndefined()) {
            projection = UsageHistory::Projection{};
            if (runsOut.isDouble()) {
                projection->runsOutAt = t0.addingSeconds(runsOut.toDouble() * 60);
            }
        }
        QCOMPARE(CardText::paceText(projection, t0, QLocale(QLocale::English)),
                 row["text"].toString());
    }

    // A reading of a fixture (parts "replace"d, read at "now" in Unix seconds, UTC) -> what
    // each surface says of it: the card's "summary", "ring", "money", the "notice" atop its
    // rows and those limit "rows" ("<title>
    // <mark>: <remaining, or the reset of a spent or blocked one>", '|' between), the tray's
    // "menu" rows, "figure" and "state", `vantor status`'s line and Waybar's text.
    void readings_data() { TestData::rows("row", "ui/readings.json"); }
    void readings() {
        QFETCH(const QJsonObject, row);
        QByteArray text = TestData::read(VANTOR_TEST_DATA_DIR "/" + row["input"].toString());
        for (const QJsonValue swap : row["replace"].toArray()) {
            text.replace(swap[0].toString().toUtf8(), swap[1].toString().toUtf8());
        }
        const Instant now = Instant::fromUnixSeconds(row["now"].toDouble());
        const QLocale locale(row["locale"].toString("en"));
        const ProviderUsageSnapshot parsed =
            row["input"].toString().contains("codex")
                ? CodexParser::parse(QJsonDocument::fromJson(text).object(), now)
                : ClaudeParser::parse(text, now);
        Fixture f;
        const QLocale before;
        QLocale::setDefault(locale);
        QTranslator translator;
        QVERIFY(translator.load(":/i18n/vantor_" + locale.name().left(2)));
        QCoreApplication::installTranslator(&translator);
        const auto restore = qScopeGuard([&translator, &before] {
            QCoreApplication::removeTranslator(&translator);
            QLocale::setDefault(before);
        });
        f.state.setSnapshot(parsed.providerID, parsed);
        ProviderCardViewModel card(
            f.state, parsed.providerID, [now] { return now; }, nullptr);
        QStringList rows;
        for (const QVariant& detail : card.details()) {
            const QVariantMap d = detail.toMap();
            rows << (d["title"].toString() + u' ' + d["mark"].toString()).trimmed() + ": " +
                        d["remainingText"].toString() +
                        (d["paceText"].toString().isEmpty()
                             ? QString()
                             : " (" + d["paceText"].toString() + ')');
        }
        const SnapshotMap map{{parsed.providerID, parsed}};
        const auto figure = TrayFigure::from(map, now, 90.0);
        const StatusReport report{map, {}, {}};
        const QStringList status = report.text(now, locale).split(u'\n');
        const QJsonObject shown{
            {"summary", card.summary()},
            {"notice", card.blockNotice()},
            {"ring", card.hasUsage() ? QJsonValue(CardText::usedPercent(parsed).value_or(-1))
                                     : QJsonValue()},
            {"money", card.money()},
            {"rows", rows.join(u'|')},
            {"menu",
             CardText::trayMenuRows(CardText::providerName(parsed.providerID),
                                    parsed.providerID.kind, parsed, std::nullopt, now, locale)
                 .join(u'|')},
            {"figure", figure ? figure->text : QString()},
            {"state",
             QStringList({"normal", "warning", "exhausted", "unavailable"})
                 .at(static_cast<int>(AppState::menuState(
                     90.0, map, {{parsed.providerID, ProviderAvailability::available()}}, now)))},
            {"status", status.value(parsed.providerID.kind == ProviderKind::codex ? 0 : 1)},
            {"waybar", QJsonDocument::fromJson(report.waybar(now, locale))["text"]}};
        for (const QString& key : shown.keys()) {
            if (row.contains(key)) {
                QCOMPARE(key + u'=' + shown[key].toVariant().toString(),
                         key + u'=' + row[key].toVariant().toString());
            }
        }
    }

    // Over two accounts, "<used> <state> <reset in s, - for none> [blocked <until in s>]"
    // each -> the figure and the account it names ("" without a figure): the least left, else
    // the first spent or blocked one to come back; and whether the item needs attention. A
    // reset or a block's end that has passed waits for the next reading.
    void trayFigureAcrossAccounts_data() {
        QTest::addColumn<QString>("codex");
        QTest::addColumn<QString>("claude");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("attention");
        const auto row = [](const char* name, const char* codex, const char* claude,
                            const char* shown, bool attention) {
            QTest::newRow(name) << codex << claude << shown << attention;
        };
        row("least left", "80 available -", "30 available -", "20 codex", false);
        row("least left, the other", "10 available -", "95 nearingLimit -", "5 claude", false);
        row("spent beats available", "100 exhausted -", "10 available -", "0 codex", true);
        row("first back of two spent", "100 exhausted 7200", "100 exhausted 2950", "50m claude",
            true);
        row("a block lasting longer than a spent window", "10 available - blocked 10800",
            "100 exhausted 3600", "1h claude", true);
        row("a spent reset a millisecond ahead", "100 exhausted 0.001", "30 available -",
            "1m codex", true);
        row("a spent reset passing now waits", "100 exhausted 0", "30 available -", "70 claude",
            false);
        row("a spent reset passed waits", "100 exhausted -0.001", "30 available -", "70 claude",
            false);
        row("both waiting: no figure", "100 exhausted -60", "95 nearingLimit -1", "", false);
        row("a block ending a millisecond ahead", "10 available - blocked 0.001", "30 available -",
            "1m codex", true);
        row("a block ended now waits", "10 available - blocked 0", "30 available -", "70 claude",
            false);
    }
    void trayFigureAcrossAccounts() {
        QFETCH(QString, codex);
        QFETCH(QString, claude);
        QFETCH(QString, shown);
        QFETCH(bool, attention);
        SnapshotMap map;
        for (const auto& [provider, text] :
             {std::pair{ProviderID::codex, codex}, std::pair{ProviderID::claude, claude}}) {
            const QStringList part = text.split(u' ');
            const auto reset =
                part[2] == "-" ? std::nullopt : std::optional(t0.addingSeconds(part[2].toDouble()));
            ProviderUsageSnapshot one =
                snapshot({window(rawValue(provider) + ".5h", *fromRawValue<State>(part[1]),
                                 part[0].toDouble(), reset, provider)},
                         provider);
            if (part.size() > 4) {
                one.blocks = {{{}, QStringLiteral("x"), t0.addingSeconds(part[4].toDouble())}};
            }
            map.insert(provider, one);
        }
        const auto figure = TrayFigure::from(map, t0, 90.0);
        QCOMPARE(figure ? figure->text + u' ' + rawValue(figure->provider.value()) : QString(),
                 shown);
        QCOMPARE(AppState::menuState(90.0, map, {}, t0) == MenuBarVisualState::exhausted,
                 attention);
    }

    // The lines under the limit rows: plan and banked resets, then money.
    void accountText_data() { TestData::rows("row", "ui/cards.json", "account"); }
    void accountText() {
        QFETCH(QJsonObject, row);
        const ProviderUsageSnapshot given = UsageJson::decodeSnapshot(row);
        QCOMPARE(CardText::accountText(given), row["text"].toString());
        QCOMPARE(MoneyText::line(given, t0, QLocale(QLocale::English)), row["money"].toString());
    }

    // The settings form and the command line share these words.
    void providerRows_data() { TestData::rows("row", "ui/cards.json", "availability"); }
    void providerRows() {
        QFETCH(QJsonObject, row);
        Fixture f;
        SettingsViewModel settings(f.state, f.accounts, f.loginItem, f.defaults, f.center);
        if (const Availability given = availability(row)) {
            f.state.setAvailability(ProviderID::claude, *given);
        }
        const QVariantList rows = settings.providerRows();
        QCOMPARE(rows.size(), 2);
        // The thresholds, kept as shares used, offered as the share left every display shows.
        QCOMPARE(settings.warningItems(), QStringList({"Off", "25% left", "10% left", "5% left"}));
        QCOMPARE(rows[0].toMap().value("title").toString(), "Codex");
        QCOMPARE(rows[1].toMap().value("title").toString(), "Claude Code");
        QCOMPARE(rows[1].toMap().value("value").toString(), row["text"].toString());
        // With nothing to show, the tray menu names the provider and what to do, else the
        // card's word.
        QCOMPARE(
            CardText::trayMenuRows("Claude", ProviderKind::claude, {}, availability(row), t0, {}),
            QStringList(row["tray"].toString()));
    }

    // One card open at most; while one is, the others' rings are dimmed.
    void expansion() {
        Fixture f;
        PopoverViewModel popover(f.state, f.coordinator);
        // Open one, open another in its place, close that: what stays open after each click.
        ProviderCardViewModel* codex = popover.card(ProviderID::codex);
        ProviderCardViewModel* claude = popover.card(ProviderID::claude);
        const std::pair<ProviderCardViewModel*, QString> clicks[] = {
            {codex, "codex"}, {claude, "claude"}, {claude, ""}};
        for (const auto& [card, expanded] : clicks) {
            card->toggle();
            QCOMPARE(popover.expandedProvider(), expanded);
            for (ProviderCardViewModel* each : popover.cards()) {
                QCOMPARE(each->isExpanded(), rawValue(each->provider()) == expanded);
                QCOMPARE(each->isIndicatorActive(), expanded.isEmpty());
            }
        }
    }

    void cardFollowsState() {
        Fixture f;
        PopoverViewModel popover(f.state, f.coordinator, [] { return t0; });
        ProviderCardViewModel* card = popover.card(ProviderID::claude);
        QSignalSpy changed(card, &ProviderCardViewModel::changed);
        f.state.setSnapshot(ProviderID::claude, claudeSpent(t0.addingSeconds(30)));
        QVERIFY(!changed.isEmpty());
        QCOMPARE(card->summary(), "5-hour limit reached \u00b7 back in 1 min");
        QCOMPARE(card->details().value(0).toMap().value("remainingText").toString(),
                 "back in 1 min");
        QCOMPARE(popover.card(ProviderID::codex)->summary(), "Unavailable");
        // Nothing read and a known reason: what to do, and that it fills in by itself.
        f.state.setAvailability(ProviderID::codex, ProviderAvailability::notAuthenticated());
        QCOMPARE(popover.card(ProviderID::codex)->summary(), "Not signed in: run codex login");
        QCOMPARE(popover.card(ProviderID::codex)->detailsEmptyText(),
                 "The usage shows here by itself once Vantor can read it.");
    }

    // Shown, the texts follow the clock at a reset and on the minute with no refresh; hidden,
    // no timer runs.
    void liveTimes() {
        Fixture f;
        const double minute = 13'100'000 * 60.0;
        Instant now = Instant::fromReferenceSeconds(minute + 0.1);
        PopoverViewModel popover(f.state, f.coordinator, [&now] { return now; });
        f.state.setSnapshot(ProviderID::claude,
                            claudeSpent(Instant::fromReferenceSeconds(minute + 0.3)));
        auto* timer = popover.findChild<QTimer*>();
        QVERIFY(timer != nullptr && !timer->isActive());
        const auto row = [&popover] {
            return popover.card(ProviderID::claude)->details().value(0).toMap();
        };
        QCOMPARE(row().value("remainingText").toString(), "back in 1 min");
        popover.setShown(true);
        QCOMPARE(timer->interval(), 200);  // the reset comes before the minute
        QSignalSpy changed(popover.card(ProviderID::claude), &ProviderCardViewModel::changed);
        now = now.addingSeconds(0.3);
        QVERIFY(changed.wait());
        QCOMPARE(row().value("remainingText").toString(), "Reset time passed");
        QCOMPARE(row().value("accessibilityLabel").toString(), "5-hour limit, reset time passed");
        // Then nothing counts down: the next wake-up is the local midnight, when an "as of"
        // time would name its day, or the longest wait before it.
        QVERIFY(timer->interval() > 60'000);
        QVERIFY(timer->interval() == Countdown::longestWaitMs ||
                now.addingSeconds(timer->interval() / 1000.0)
                        .toDateTime()
                        .toLocalTime()
                        .time()
                        .msecsSinceStartOfDay() <= 1);
        popover.setShown(false);
        QVERIFY(!timer->isActive());
    }

    // Rows of tests/data/ui/accounts.json "cards": the accounts (after those "before", else the
    // two default ones, the last card open) -> each card's name and ring's label, the settings'
    // provider rows, the tray's rows and the card still open. A card that stays is the same
    // object, its row moved or kept, never made again; one that goes is deleted.
    void cardsFollowAccounts_data() { TestData::rows("row", "ui/accounts.json", "cards"); }
    void cardsFollowAccounts() {
        const auto row = TestData::fetch<QJsonObject>("row");
        Fixture f;
        VantorInterface ui(f.state, f.coordinator, f.accounts, f.loginItem, f.defaults, f.center);
        SettingsViewModel settings(f.state, f.accounts, f.loginItem, f.defaults, f.center);
        PopoverViewModel& popover = *ui.popoverModel();
        QAbstractItemModelTester tester(popover.cardModel(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        if (row.contains("before")) {
            f.state.setAccounts(accountsFrom(row["before"]));
        }
        popover.cards().last()->toggle();
        QList<std::pair<ProviderID, QPointer<ProviderCardViewModel>>> before;
        for (ProviderCardViewModel* card : popover.cards()) {
            before.append({card->provider(), card});
        }
        QSignalSpy inserted(popover.cardModel(), &QAbstractItemModel::rowsInserted);
        QSignalSpy reset(popover.cardModel(), &QAbstractItemModel::modelReset);
        f.state.setAccounts(accountsFrom(row["accounts"]));
        QVERIFY(reset.isEmpty());
        QCOMPARE(inserted.count(),
                 popover.cards().size() -
                     std::count_if(before.cbegin(), before.cend(), [&](const auto& card) {
                         return f.state.isWatched(card.first);
                     }));
        QStringList shown;
        for (const ProviderCardViewModel* card : popover.cards()) {
            shown.append(card->name() + " / " + card->ringAccessibilityLabel());
        }
        for (const QVariant& each : settings.providerRows()) {
            shown.append(each.toMap()["title"].toString());
        }
        shown << ui.trayIcon()->item().toolTip().text.split(u'\n').mid(1)
              << "open: " + popover.expandedProvider();
        QCOMPARE(shown, row["shown"].toVariant().toStringList());
        for (const auto& [provider, card] : before) {
            if (f.state.isWatched(provider)) {
                QCOMPARE(popover.card(provider), card.data());
            } else {
                QTRY_VERIFY(card.isNull());
            }
        }
    }

    // A folder and the home folder -> the folder as the settings show it.
    void folderText_data() { TestData::rows("row", "ui/accounts.json", "folderText"); }
    void folderText() {
        const auto row = TestData::fetch<QJsonObject>("row");
        QCOMPARE(SettingsText::folderText(row["folder"].toString(), row["home"].toString()),
                 row["text"].toString());
    }

    // Rows of "accountRows": sign-in files made ("~/" in the home folder, else in another) and
    // those lost since they were found, then the settings' commands ("unwatch 3", "rename 1 Job",
    // "remove 2", "add job": the number a row's place) -> the account rows and the message under
    // "Add folder...".
    void accountRows_data() { TestData::rows("row", "ui/accounts.json", "accountRows"); }
    void accountRows() {
        const auto row = TestData::fetch<QJsonObject>("row");
        Fixture f;
        QTemporaryDir elsewhere;
        const auto path = [&](const QString& name) {
            return name.startsWith(QStringLiteral("~/")) ? f.home.filePath(name.mid(2))
                                                         : elsewhere.filePath(name);
        };
        for (const QJsonValue file : row["files"].toArray()) {
            const QString name = path(file.toString());
            QVERIFY(name.endsWith(u'/') ? QDir().mkpath(name) : TestData::write(name, "{}"));
        }
        f.accounts.rediscover();
        for (const QJsonValue file : row["lost"].toArray()) {
            QVERIFY(QFile::remove(path(file.toString())));
        }
        SettingsViewModel settings(f.state, f.accounts, f.loginItem, f.defaults, f.center);
        QAbstractItemModelTester tester(settings.accountModel(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (const QJsonValue step : row["do"].toArray()) {
            const QStringList words = step.toString().split(u' ');
            const QString key = settings.accountModel()
                                    ->index(words.value(1).toInt(), 0)
                                    .data(Qt::UserRole)
                                    .toString();
            if (words[0] == "add") {
                settings.addFolder(words[1].contains(u':') ? QUrl(words[1])
                                                           : QUrl::fromLocalFile(path(words[1])));
            } else if (words[0] == "rename") {
                settings.rename(key, words.mid(2).join(u' '));
            } else if (words[0] == "remove") {
                settings.remove(key);
            } else {
                settings.setWatched(key, words[0] == "watch");
            }
        }
        // A row's group, name, placeholder, folder, watched and removable, joined by '|'.
        QStringList lines;
        for (int i = 0; i < settings.accountModel()->rowCount(); ++i) {
            QStringList values;
            for (int role = Qt::UserRole + 1; role <= Qt::UserRole + 6; ++role) {
                values.append(settings.accountModel()->index(i, 0).data(role).toString());
            }
            lines.append(values.join(u'|')
                             .replace(f.home.path(), "~")
                             .replace(elsewhere.path(), "elsewhere"));
        }
        QCOMPARE(lines, row["rows"].toVariant().toStringList());
        QCOMPARE(settings.addFolderMessage(), row["message"].toString());
    }

    // Rows of "heightCap": the popover's bound of height against the height of its four cards
    // and rows -> the window as tall as the content or the bound, and the cards scrolling. It
    // waits for frames: the sanitizer build runs it without leak checks.
    void popoverHeightCap_data() { TestData::rows("row", "ui/accounts.json", "heightCap"); }
    void popoverHeightCap() {
        if (qEnvironmentVariableIsSet("VANTOR_TEST_UNRENDERED")) {
            QSKIP("run by tst_Ui_rendered");
        }
        const auto row = TestData::fetch<QJsonObject>("row");
        Fixture f;
        f.state.setAccounts(
            accountsFrom(QJsonArray{"codex", "codex@a1:a", "claude", "claude@b1:b"}));
        VantorInterface ui(f.state, f.coordinator, f.accounts, f.loginItem, f.defaults, f.center);
        ui.showPopover();
        QQuickView* popover = ui.popoverWindow();
        QQuickItem* root = popover->rootObject();
        // The offscreen screen's 800 pixels less a margin above and below.
        QCOMPARE(root->property("maximumHeight").toInt(), 784);
        root->setProperty("maximumHeight", 100000);
        const double natural = root->implicitHeight();
        const int cap = static_cast<int>(std::ceil(natural)) + row["offset"].toInt();
        root->setProperty("maximumHeight", cap);
        // The column under the title lays itself out again before the next frame.
        QTRY_COMPARE(popover->height(), qRound(std::min<double>(natural, cap)));
        QCOMPARE(item(popover, "cards")->property("interactive").toBool(), row["scrolls"].toBool());
    }

    // A chosen voice holds while the language stays, and goes with a new language or gender.
    void voiceChoice() {
        Fixture f;
        SettingsViewModel settings(f.state, f.accounts, f.loginItem, f.defaults, f.center);
        settings.setSoundIndex(1);
        settings.setLanguageIndex(settings.languageIndex());
        QVERIFY(f.state.customVoiceID().has_value());
        settings.setGenderIndex(static_cast<int>(CustomAudioGender::male));
        QVERIFY(!f.state.customVoiceID().has_value());
        QCOMPARE(settings.soundIndex(), 0);
        settings.setSoundIndex(1);
        settings.setLanguageIndex(static_cast<int>(CustomAudioLanguage::french));
        QVERIFY(!f.state.customVoiceID().has_value());
    }

    // The notification center's answer (authorized or denied, adding refused) -> delivered.
    void testNotification_data() { TestData::rows("row", "ui/cards.json", "testNotification"); }
    void testNotification() {
        QFETCH(const QJsonObject, row);
        const bool delivered = row["delivered"].toBool();
        Fixture f;
        f.center.status = row["status"] == "denied"
                              ? NotificationCenter::AuthorizationStatus::denied
                              : NotificationCenter::AuthorizationStatus::authorized;
        f.center.addFails = row["addFails"].toBool();
        SettingsViewModel settings(f.state, f.accounts, f.loginItem, f.defaults, f.center);
        QSignalSpy done(&settings, &SettingsViewModel::testNotificationFinished);
        settings.sendTestNotification();
        QVERIFY(done.count() == 1 || done.wait());
        QCOMPARE(settings.testNotificationStatus() == "Test notification sent.", delivered);
        QCOMPARE(settings.testNotificationNeedsSettings(), !delivered);
        // The alert plays whatever the outcome.
        QCOMPARE(f.sound->calls.count("play"), 1);
    }

    // The desktop names its own tool: an unknown one has none (the button hides), and one that
    // cannot be started says so.
    void notificationSettingsTool_data() {
        TestData::rows("row", "ui/cards.json", "notificationSettings");
    }
    void notificationSettingsTool() {
        QFETCH(QJsonObject, row);
        qputenv("XDG_CURRENT_DESKTOP", row["desktop"].toString().toUtf8());
        Fixture f;
        QStringList launched;
        SettingsViewModel settings(f.state, f.accounts, f.loginItem, f.defaults, f.center,
                                   [&launched](const QString& program, const QStringList&) {
                                       launched.append(program);
                                       return false;
                                   });
        settings.openNotificationSettings();
        QCOMPARE(launched.join(u' '), row["program"].toString());
        QCOMPARE(settings.canOpenNotificationSettings(), !launched.isEmpty());
        QCOMPARE(settings.testNotificationStatus().isEmpty(), launched.isEmpty());
    }

    // A resume from suspend: the timers stood still while the reset passed; the wake reads the
    // countdowns again at once, and the item leaves NeedsAttention without a new reading.
    void trayAfterResume() {
        Fixture f;
        VantorInterface ui(f.state, f.coordinator, f.accounts, f.loginItem, f.defaults, f.center);
        const Instant reset = Instant::now().addingSeconds(0.2);
        f.state.setSnapshot(ProviderID::claude, claudeSpent(reset));
        auto* clock = ui.findChild<QTimer*>("countdownClock");
        QVERIFY(clock != nullptr);
        clock->stop();
        QTRY_VERIFY(Instant::now().secondsSince(reset) > 0.0);
        StatusNotifierItem& item = ui.trayIcon()->item();
        QCOMPARE(item.status(), "NeedsAttention");
        ui.clockJumped();
        QCOMPARE(item.status(), "Active");
        QVERIFY(!clock->isActive());
    }

    // The tray follows the clock: armed for the instant its texts next change ("2m" to "1m"),
    // idle with nothing to count; a spent window's reset passing ends NeedsAttention and the
    // countdown without a new reading.
    void trayFollowsClock() {
        Fixture f;
        VantorInterface ui(f.state, f.coordinator, f.accounts, f.loginItem, f.defaults, f.center);
        auto* clock = ui.findChild<QTimer*>("countdownClock");
        QVERIFY(clock != nullptr && !clock->isActive());
        f.state.setSnapshot(ProviderID::claude, claudeSpent(Instant::now().addingSeconds(90.5)));
        QVERIFY(clock->isActive());
        QVERIFY2(clock->remainingTime() > 29'000 && clock->remainingTime() <= 30'600,
                 qPrintable(QString::number(clock->remainingTime())));
        StatusNotifierItem& item = ui.trayIcon()->item();
        QCOMPARE(item.status(), "NeedsAttention");
        f.state.setSnapshot(ProviderID::claude, claudeSpent(Instant::now().addingSeconds(0.5)));
        const auto countdown = item.iconPixmap();
        QTRY_COMPARE_WITH_TIMEOUT(item.status(), "Active", 5000);
        QVERIFY(item.iconPixmap() != countdown);
        QVERIFY(item.toolTip().text.endsWith("Claude: 5h limit reset, waiting for a new reading"));
        QVERIFY(!clock->isActive());
        // Values that stop being current fade the ring, and name their day after midnight.
        f.state.setSnapshot(ProviderID::codex,
                            snapshot({window("codex.primary", State::available, 55.0)}));
        const auto current = item.iconPixmap();
        f.state.setAvailability(ProviderID::codex, ProviderAvailability::notAuthenticated());
        QVERIFY(item.iconPixmap() != current);
        QVERIFY(clock->isActive());
    }

    void popoverAndSettingsWindows() {
        Fixture f;
        VantorInterface ui(f.state, f.coordinator, f.accounts, f.loginItem, f.defaults, f.center);
        // The tray's tooltip: the headline the tray's figure names (the state while there is
        // none), then every window.
        QCOMPARE(ui.trayIcon()->item().toolTip().text,
                 "Vantor: providers unavailable\nCodex: Unavailable\nClaude: Unavailable");
        QCOMPARE(ui.trayIcon()->item().iconName(), "");
        f.state.setSnapshot(ProviderID::codex,
                            snapshot({window("codex.primary", State::exhausted, 100.0)}));
        QCOMPARE(ui.trayIcon()->item().toolTip().text,
                 "Codex: 5h limit reached\nCodex: 5h limit reached\nClaude: Unavailable");
        // An account's money line follows its rows in the tooltip, and only there.
        ProviderUsageSnapshot paid = snapshot({}, ProviderID::claude);
        paid.extraUsage = ExtraUsage{1234.0, 5000.0, 2, QStringLiteral("USD")};
        f.state.setSnapshot(ProviderID::claude, paid);
        QCOMPARE(ui.trayIcon()->item().toolTip().text.section(u'\n', 2),
                 "Claude: Unavailable\nClaude: Extra usage: $12.34 of $50.00 this month");
        for (const QAction* action : ui.trayMenu()->actions()) {
            QVERIFY(!action->text().contains("Extra usage"));
        }
        // The figure and the symbol are pixmaps alike.
        const auto figure = ui.trayIcon()->item().iconPixmap();
        f.state.setTrayShowsFigure(false);
        QVERIFY(ui.trayIcon()->item().iconPixmap() != figure);
        QCOMPARE(ui.trayIcon()->item().iconName(), "");
        for (const QAction* action : ui.trayMenu()->actions()) {
            QVERIFY(action->shortcut().isEmpty());  // no shortcut works in the panel's menu
        }
        ui.show();
        QVERIFY(ui.popoverWindow() == nullptr);  // Qt Quick waits for the first click
        ui.showPopover();
        QQuickView* popover = ui.popoverWindow();
        QCOMPARE(popover->status(), QQuickView::Ready);
        QTRY_VERIFY(popover->isVisible());
        ui.showPopover();
        QVERIFY(popover->isVisible());
        ui.togglePopover();
        QVERIFY(!popover->isVisible());
        ui.togglePopover();
        ui.popoverModel()->close();
        QVERIFY(!popover->isVisible());

        // Settings asked for from the popover close it, and release its grab under X.
        ui.showPopover();
        QTRY_VERIFY(popover->isVisible());
        ui.showSettings();
        QVERIFY(!popover->isVisible());
        QVERIFY(!ui.popoverGrabbed());
        QPointer<QQuickView> settings = ui.settingsPresenter()->window();
        QCOMPARE(settings->status(), QQuickView::Ready);
        QSignalSpy created(ui.settingsPresenter(), &SettingsWindowPresenter::windowCreated);
        ui.popoverModel()->openSettings();
        QCOMPARE(ui.settingsPresenter()->window(), settings.data());
        // The pickers follow the alerts switch.
        QVERIFY(item(settings, "language")->isEnabled());
        f.state.setAlertsEnabled(false);
        QVERIFY(!item(settings, "language")->isEnabled());
        QVERIFY(item(settings, "sendTestNotification")->isEnabled());
        // An inactive picker and the label beside it are dimmed, and come back with it.
        const Theme theme;
        QQuickItem* picker = item(settings, "language");
        const QQuickItem* label = picker->parentItem()->parentItem()->childItems().constFirst();
        const auto shade = [](const QObject* of) { return of->property("color").value<QColor>(); };
        QCOMPARE(shade(label), theme.disabledWindowText());
        QCOMPARE(shade(picker->property("contentItem").value<QQuickItem*>()),
                 theme.disabledButtonText());
        f.state.setAlertsEnabled(true);
        QCOMPARE(shade(label), theme.text());
        QCOMPARE(shade(picker->property("contentItem").value<QQuickItem*>()),
                 theme.paletteButtonText());
        f.state.setAlertsEnabled(false);
        // No Text reads its string as markup: a limit's name holding a tag shows as written.
        UsageWindowSnapshot named = window("codex.named", State::available, 42.0);
        named.label = QStringLiteral("<img src=\"http://127.0.0.1:9/x\"> \u00b7 Weekly");
        f.state.setSnapshot(ProviderID::codex, snapshot({named}));
        QStringList texts;
        for (QList<QQuickItem*> items{popover->contentItem(), settings->contentItem()};
             !items.isEmpty();) {
            const QQuickItem* each = items.takeLast();
            items += each->childItems();
            // A control's own caption (a button's, a switch's) shows a text of ours.
            // An empty one (a control's unused placeholder) reads as nothing either way.
            if (each->inherits("QQuickText") && !each->parentItem()->inherits("QQuickControl") &&
                !each->parentItem()->inherits("QQuickIconLabel") &&
                !each->property("text").toString().isEmpty()) {
                texts.append(each->property("text").toString());
                QVERIFY2(each->property("textFormat").toInt() == Qt::PlainText,
                         qPrintable(texts.last()));
            }
        }
        QVERIFY(texts.contains(named.label));
        // Closed, it is forgotten; the next request builds a fresh one.
        settings->close();
        QTRY_VERIFY(settings.isNull());
        ui.showSettings();
        QCOMPARE(created.count(), 1);
    }

    // The window fits the form, and the form scrolls where the screen is too small, to a control
    // the keyboard reaches below its edge too;
    // "Add folder..." opens the chooser; the account controls reach the registry and the popover
    // follows. It waits for frames: the sanitizer build runs it without leak checks.
    void settingsAccounts() {
        if (qEnvironmentVariableIsSet("VANTOR_TEST_UNRENDERED")) {
            QSKIP("run by tst_Ui_rendered");
        }
        // A binding that reads a view model already gone, or none, says so.
        QTest::failOnWarning(QRegularExpression("TypeError|ReferenceError"));
        Fixture f;
        VantorInterface ui(f.state, f.coordinator, f.accounts, f.loginItem, f.defaults, f.center);
        ui.showPopover();
        ui.showSettings();
        QQuickView* popover = ui.popoverWindow();
        QQuickView* settings = ui.settingsPresenter()->window();
        // The window fits the form while the screen has room for it.
        const QQuickItem* scroll = item(settings, "settingsScroll");
        QCOMPARE(scroll->property("contentHeight").toReal(), scroll->height());
        // "Add folder..." opens the chooser, which starts in the home folder.
        auto* chooser = settings->rootObject()->findChild<QObject*>("folderDialog");
        QMetaObject::invokeMethod(item(settings, "addFolder"), "clicked");
        QTRY_VERIFY(chooser->property("visible").toBool());
        QCOMPARE(chooser->property("currentFolder").toUrl(), QUrl::fromLocalFile(QDir::homePath()));
        QMetaObject::invokeMethod(chooser, "reject");
        QTRY_VERIFY(!chooser->property("visible").toBool());
        // The account controls reach the registry; the popover follows.
        QQuickItem* name = item(settings, "accountName");
        name->setProperty("text", " Mine ");
        QMetaObject::invokeMethod(name, "editingFinished");
        QCOMPARE(name->property("text").toString(), "Mine");
        QQuickItem* watch = item(settings, "watchAccount");
        watch->setProperty("checked", false);
        QMetaObject::invokeMethod(watch, "toggled");
        QCOMPARE(f.state.accounts().first().name, "Mine");  // Codex's default account
        QCOMPARE(f.state.watchedProviders(), QList<ProviderID>{ProviderID::claude});
        QTRY_COMPARE(items(popover, QRegularExpression("^claudeCard$")).size(), 1);
        QCOMPARE(items(popover, QRegularExpression("Card$")).size(), 1);
        // A control the keyboard reaches below the window's edge scrolls into view.
        f.state.setAccounts(accountsFrom(
            QJsonArray{"codex", "codex@a:a", "codex@c:c", "claude", "claude@b:b", "claude@d:d"}));
        QQuickItem* low = item(settings, "sendTestNotification");
        // More than the screen holds: the window stops at its work area and the form scrolls.
        QTRY_VERIFY(scroll->property("contentHeight").toReal() > scroll->height());
        QCOMPARE(settings->height(), settings->screen()->availableGeometry().height() - 64);
        QTRY_VERIFY(low->mapToScene({}).y() > settings->height());
        low->forceActiveFocus();
        QVERIFY(scroll->property("contentY").toReal() > 0);
    }

    // The popover from the keyboard alone: keys pressed -> the card open, the sound switch, and
    // how often settings were asked for and the popover closed.
    void popoverKeyboard_data() { TestData::rows("row", "ui/cards.json", "keys"); }
    void popoverKeyboard() {
        if (qEnvironmentVariableIsSet("VANTOR_TEST_UNRENDERED")) {
            QSKIP("run by tst_Ui_rendered");
        }
        const auto row = TestData::fetch<QJsonObject>("row");
        Fixture f;
        VantorInterface ui(f.state, f.coordinator, f.accounts, f.loginItem, f.defaults, f.center);
        ui.showPopover();
        QQuickView* popover = ui.popoverWindow();
        QTRY_VERIFY(popover->isActive());
        QSignalSpy settings(ui.popoverModel(), &PopoverViewModel::settingsRequested);
        QSignalSpy closed(ui.popoverModel(), &PopoverViewModel::closeRequested);
        QSignalSpy quit(ui.popoverModel(), &PopoverViewModel::quitRequested);
        for (const QString& key : row["keys"].toString().split(u' ')) {
            const QKeySequence sequence(key);
            QTest::keyClick(popover, Qt::Key(sequence[0].key()), sequence[0].keyboardModifiers());
        }
        const QString expanded = ui.popoverModel()->expandedProvider();
        QCOMPARE(QStringLiteral("%1 %2 settings:%3 closed:%4 quit:%5")
                     .arg(expanded.isEmpty() ? "-" : expanded,
                          f.state.alertsEnabled() ? "alerts" : "quiet")
                     .arg(settings.count())
                     .arg(closed.count())
                     .arg(quit.count()),
                 row["after"].toString());
    }

    // The item registers with whoever owns the watcher's name: one that comes after Vantor, and
    // the next one that takes the name over; without one the XEmbed icon stands in.
    // The popover it opens is drawn: the sanitizer build runs it without leak checks.
    void trayItemFollowsWatcher() {
        if (qEnvironmentVariableIsSet("VANTOR_TEST_UNRENDERED")) {
            QSKIP("run by tst_Ui_rendered");
        }
        Fixture f;
        VantorInterface ui(f.state, f.coordinator, f.accounts, f.loginItem, f.defaults, f.center);
        TrayIcon& tray = *ui.trayIcon();
        ui.show();
        QTRY_VERIFY(tray.fallback() != nullptr);
        {
            auto first = std::make_unique<FakeWatcher>("first");
            QTRY_VERIFY(tray.registered());
            QCOMPARE(first->items, QStringList(tray.serviceName()));
            QVERIFY(tray.fallback() == nullptr);
            FakeWatcher second("second");
            first.reset();
            QTRY_COMPARE(second.items, QStringList(tray.serviceName()));

            // What a host reads.
            const auto property = [&tray](const char* name) {
                return ask(tray.serviceName(), "/StatusNotifierItem",
                           "org.freedesktop.DBus.Properties", "Get",
                           {"org.kde.StatusNotifierItem", name})
                    .arguments()
                    .value(0)
                    .value<QDBusVariant>()
                    .variant();
            };
            QCOMPARE(property("Title").toString(), "Vantor");
            // Pixmaps alone: a themed name would stand in their way.
            QCOMPARE(property("IconName").toString(), "");
            f.state.setSnapshot(ProviderID::codex,
                                snapshot({window("codex.primary", State::exhausted, 100.0)}));
            QCOMPARE(property("Status").toString(), "NeedsAttention");
            QCOMPARE(qdbus_cast<StatusNotifierItem::ToolTip>(property("ToolTip"))
                         .text.section(u'\n', 0, 0),
                     "Codex: 5h limit reached");
            const auto pixmaps =
                qdbus_cast<QList<StatusNotifierItem::Pixmap>>(property("IconPixmap"));
            QVERIFY(!pixmaps.isEmpty());
            QCOMPARE(pixmaps[0].bytes.size(), pixmaps[0].width * pixmaps[0].height * 4);

            // A click on a top panel of the 800 x 600 offscreen screen: below it, on screen.
            ask(tray.serviceName(), "/StatusNotifierItem", "org.kde.StatusNotifierItem", "Activate",
                {700, 10});
            QTRY_VERIFY(ui.popoverWindow() != nullptr && ui.popoverWindow()->isVisible());
            QCOMPARE(ui.popoverWindow()->position(), QPoint(541, 28));
            QCOMPARE(ui.popoverWindow()->minimumSize(), ui.popoverWindow()->maximumSize());
            // A middle click refreshes; a host that draws no menu asks for ours.
            QSignalSpy refreshed(&f.coordinator, &UsageCoordinator::refreshFinished);
            ask(tray.serviceName(), "/StatusNotifierItem", "org.kde.StatusNotifierItem",
                "SecondaryActivate", {0, 0});
            QVERIFY(refreshed.count() == 1 || refreshed.wait());
        }
        QTRY_VERIFY(!tray.registered());
        QVERIFY(tray.fallback() != nullptr);
    }

    // The menu a panel draws: one row per window or provider, an item like any other that opens
    // the popover, then the commands, with no shortcut hints; a click runs the command, a new
    // window adds a row.
    void trayMenuOverBus() {
        Fixture f;
        f.state.setSnapshot(ProviderID::codex,
                            snapshot({window("codex.primary", State::available, 42.0)}));
        f.state.setAvailability(ProviderID::claude, ProviderAvailability::notAuthenticated());
        VantorInterface ui(f.state, f.coordinator, f.accounts, f.loginItem, f.defaults, f.center);
        ui.show();
        uint revision = 0;
        QList<int> ids;
        const auto layout = [&] {
            const QDBusMessage reply =
                ask(ui.trayIcon()->serviceName(), "/MenuBar", "com.canonical.dbusmenu", "GetLayout",
                    {0, -1, QStringList()});
            revision = reply.arguments().value(0).toUInt();
            QStringList rows;
            ids.clear();
            for (const QVariant& child :
                 qdbus_cast<DBusMenuExporter::Layout>(reply.arguments().value(1)).children) {
                const auto item = child.value<DBusMenuExporter::Layout>();
                ids.append(item.id);
                rows.append(item.properties.value("type") == "separator"
                                ? "-"
                                : item.properties["label"].toString());
                rows.last() += item.properties.contains("enabled") ? " (disabled)" : "";
                rows.last() += item.properties.contains("shortcut") ? " [shortcut]" : "";
            }
            return rows;
        };
        QSignalSpy refreshed(&f.coordinator, &UsageCoordinator::refreshFinished);
        const QStringList rows = layout();
        QCOMPARE(rows, QStringList({"Show Usage", "-", "Codex: 5h 58% left",
                                    "Claude: Not signed in: run claude and sign in", "-", "Refresh",
                                    "Settings", "-", "Quit"}));
        ask(ui.trayIcon()->serviceName(), "/MenuBar", "com.canonical.dbusmenu", "Event",
            {ids[rows.indexOf("Refresh")], "clicked", QVariant::fromValue(QDBusVariant(0)), 0u});
        QVERIFY(refreshed.count() == 1 || refreshed.wait());
        // The popover it opens is drawn: the sanitizer build runs this without leak checks.
        if (!qEnvironmentVariableIsSet("VANTOR_TEST_UNRENDERED")) {
            QVERIFY(ui.popoverWindow() == nullptr);
            ask(ui.trayIcon()->serviceName(), "/MenuBar", "com.canonical.dbusmenu", "Event",
                {ids[rows.indexOf("Claude: Not signed in: run claude and sign in")], "clicked",
                 QVariant::fromValue(QDBusVariant(0)), 0u});
            QTRY_VERIFY(ui.popoverWindow() != nullptr && ui.popoverWindow()->isVisible());
        }

        const uint first = revision;
        f.state.setSnapshot(ProviderID::codex, snapshot({window("a", State::available, 42.0),
                                                         window("b", State::exhausted, 100.0)}));
        QTRY_COMPARE(layout().value(3), "Codex: 5h limit reached");
        QVERIFY(revision > first);
    }

    void trayMenuUnknownItem_data() {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QVariantList>("arguments");
        QTest::addColumn<QVariantList>("answer");
        const QVariant unknown = QVariant::fromValue(QList<int>{99});
        const QVariant noData = QVariant::fromValue(QDBusVariant(0));
        QTest::newRow("GetLayout")
            << "GetLayout" << QVariantList{99, -1, QStringList()} << QVariantList();
        QTest::newRow("GetProperty")
            << "GetProperty" << QVariantList{99, "label"} << QVariantList();
        QTest::newRow("Event") << "Event" << QVariantList{99, "clicked", noData, 0u}
                               << QVariantList();
        QTest::newRow("AboutToShow") << "AboutToShow" << QVariantList{99} << QVariantList();
        QTest::newRow("GetGroupProperties")
            << "GetGroupProperties" << QVariantList{unknown, QStringList()} << QVariantList{0};
        QTest::newRow("AboutToShowGroup")
            << "AboutToShowGroup" << QVariantList{unknown} << QVariantList{0, 1};
        const QList<DBusMenuExporter::MenuEvent> events{{99, "clicked", QDBusVariant(0), 0}};
        QTest::newRow("EventGroup")
            << "EventGroup" << QVariantList{QVariant::fromValue(events)} << QVariantList{1};
    }
    // An item the menu does not have: an error, or its id among the errors, never a crash.
    void trayMenuUnknownItem() {
        QFETCH(QString, method);
        QFETCH(QVariantList, arguments);
        QFETCH(QVariantList, answer);
        Fixture f;
        VantorInterface ui(f.state, f.coordinator, f.accounts, f.loginItem, f.defaults, f.center);
        ui.show();
        const QDBusMessage reply = ask(ui.trayIcon()->serviceName(), "/MenuBar",
                                       "com.canonical.dbusmenu", method, arguments);
        if (answer.isEmpty()) {
            QCOMPARE(reply.errorName(), "org.freedesktop.DBus.Error.InvalidArgs");
            return;
        }
        QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
        // The lengths of the returned lists: no properties for 99, 99 among the errors.
        QVariantList lengths;
        for (const QVariant& list : reply.arguments()) {
            const auto array = list.value<QDBusArgument>();
            int length = 0;
            array.beginArray();
            for (; !array.atEnd(); ++length) {
                array.asVariant();
            }
            array.endArray();
            lengths.append(length);
        }
        QCOMPARE(lengths, answer);
    }

    // Which window system a platform name stands for, and whether the popover grabs there.
    void dismissalPlatform_data() { TestData::rows("row", "ui/windows.json", "platforms"); }
    void dismissalPlatform() {
        const auto row = TestData::fetch<QJsonObject>("row");
        using PopoverDismissal::Platform;
        const Platform platform = PopoverDismissal::platform(
            row["qpa"].toString(), row["waylandDisplay"].toString(), row["session"].toString());
        const QHash<Platform, QString> names{{Platform::offscreen, "offscreen"},
                                             {Platform::x11, "x11"},
                                             {Platform::xwayland, "xwayland"},
                                             {Platform::wayland, "wayland"}};
        QCOMPARE(names.value(platform), row["platform"].toString());
        QCOMPARE(PopoverDismissal::grabsInput(platform), row["grabs"].toBool());
    }

    // The popover's rules: an event and the state it finds -> what becomes of the popover.
    void dismissalRules_data() { TestData::rows("row", "ui/windows.json", "rules"); }
    void dismissalRules() {
        const auto row = TestData::fetch<QJsonObject>("row");
        using PopoverDismissal::Event;
        using PopoverDismissal::Outcome;
        const QHash<QString, Event> events{{"focusLost", Event::focusLost},
                                           {"settled", Event::settled},
                                           {"escape", Event::escape},
                                           {"pressInside", Event::pressInside},
                                           {"pressOutside", Event::pressOutside},
                                           {"iconClick", Event::iconClick}};
        const QHash<Outcome, QString> outcomes{{Outcome::stays, "stays"},
                                               {Outcome::hides, "hides"},
                                               {Outcome::dismiss, "dismiss"},
                                               {Outcome::shows, "shows"}};
        QVERIFY(events.contains(row["event"].toString()));
        const PopoverDismissal::State state{row["shown"].toBool(), row["active"].toBool(),
                                            row["hadFocus"].toBool(), row["sinceShown"].toInteger(),
                                            row["sinceDismissed"].toInteger(-1)};
        QCOMPARE(
            outcomes.value(PopoverDismissal::decide(events.value(row["event"].toString()), state)),
            row["outcome"].toString());
    }

    // The same rules over the real window on the platform the test runs on (offscreen, and X11
    // when run on a private X display): steps after the popover took the focus -> shown or not.
    void popoverDismissal_data() { TestData::rows("row", "ui/windows.json", "windows"); }
    void popoverDismissal() {
        if (qEnvironmentVariableIsSet("VANTOR_TEST_UNRENDERED")) {
            QSKIP("run by tst_Ui_rendered");
        }
        const auto row = TestData::fetch<QJsonObject>("row");
        Fixture f;
        VantorInterface ui(f.state, f.coordinator, f.accounts, f.loginItem, f.defaults, f.center);
        ui.showPopover();
        QQuickView* popover = ui.popoverWindow();
        QTRY_VERIFY(popover->isExposed());
        QTRY_VERIFY(popover->isActive());
        // Under X the server granted the grab: a press elsewhere comes to the popover.
        QCOMPARE(ui.popoverGrabbed(), PopoverDismissal::grabsInput(PopoverDismissal::current()));
        // Elsewhere: a window of another kind that takes the focus.
        QWindow elsewhere;
        elsewhere.setGeometry(600, 500, 80, 60);
        for (const QString& step : row["steps"].toString().split(u' ')) {
            if (step == "escape") {
                QTest::keyClick(popover, Qt::Key_Escape);
            } else if (step == "pressInside" || step == "pressOutside") {
                const QPoint at = step == "pressInside" ? QPoint(4, 4) : QPoint(-20, -20);
                QTest::mousePress(popover, Qt::LeftButton, {}, at);
                QTest::mouseRelease(popover, Qt::LeftButton, {}, at);
            } else if (step == "iconClick") {
                ui.activate({});
            } else if (step == "settle") {
                QTRY_VERIFY(ui.popoverSettled());
            } else if (step == "focusAway") {
                elsewhere.show();
                elsewhere.requestActivate();
                QTRY_VERIFY(!popover->isActive());
            } else {
                QFAIL(qPrintable(step));
            }
        }
        const bool shown = row["after"].toString() == "shown";
        QTRY_VERIFY(ui.popoverSettled());
        QTRY_COMPARE(popover->isVisible(), shown);
    }

    // The desktop's font in pixels -> the small, usual and large text sizes of the windows.
    void textSizes_data() { TestData::rows("row", "ui/windows.json", "textSizes"); }
    void textSizes() {
        const auto row = TestData::fetch<QJsonObject>("row");
        const double scale = Theme::textScaleOf(row["font"].toInt());
        const QJsonArray sizes = row["sizes"].toArray();
        QCOMPARE(Theme::scaledTextSize(11, scale), sizes[0].toInt());
        QCOMPARE(Theme::scaledTextSize(12, scale), sizes[1].toInt());
        QCOMPARE(Theme::scaledTextSize(13, scale), sizes[2].toInt());
    }

    // The application's font in pixels -> the popover's width and its title's size, while shown.
    void popoverFont_data() { TestData::rows("row", "ui/windows.json", "popoverFont"); }
    void popoverFont() {
        if (qEnvironmentVariableIsSet("VANTOR_TEST_UNRENDERED")) {
            QSKIP("run by tst_Ui_rendered");
        }
        const auto row = TestData::fetch<QJsonObject>("row");
        const QFont before = QGuiApplication::font();
        Fixture f;
        VantorInterface ui(f.state, f.coordinator, f.accounts, f.loginItem, f.defaults, f.center);
        ui.showPopover();
        QFont font = before;
        font.setPixelSize(row["font"].toInt());
        QGuiApplication::setFont(font);
        const QQuickView* popover = ui.popoverWindow();
        const int width = popover->width();
        const int title =
            item(ui.popoverWindow(), "title")->property("font").value<QFont>().pixelSize();
        QGuiApplication::setFont(before);
        QCOMPARE(width, row["width"].toInt());
        QCOMPARE(title, row["title"].toInt());
    }

    // The settings window's size: the form's size and the screen's work area -> the window's.
    void settingsFit_data() { TestData::rows("row", "ui/windows.json", "settingsFit"); }
    void settingsFit() {
        const auto row = TestData::fetch<QJsonObject>("row");
        const auto size = [](const QJsonValue& pair) {
            return QSizeF(pair[0].toDouble(), pair[1].toDouble());
        };
        QCOMPARE(SettingsWindowPresenter::fittedSize(size(row["content"]),
                                                     size(row["available"]).toSize()),
                 size(row["size"]).toSize());
    }

    // The settings window from the keyboard: keys -> the window open or closed.
    void settingsWindowKeys_data() { TestData::rows("row", "ui/windows.json", "settingsKeys"); }
    void settingsWindowKeys() {
        if (qEnvironmentVariableIsSet("VANTOR_TEST_UNRENDERED")) {
            QSKIP("run by tst_Ui_rendered");
        }
        const auto row = TestData::fetch<QJsonObject>("row");
        Fixture f;
        VantorInterface ui(f.state, f.coordinator, f.accounts, f.loginItem, f.defaults, f.center);
        ui.showSettings();
        QPointer<QQuickView> settings = ui.settingsPresenter()->window();
        QTRY_VERIFY(settings->isActive());
        // Of the form's size, within the screen's work area.
        const QQuickItem* root = settings->rootObject();
        QCOMPARE(settings->size(), SettingsWindowPresenter::fittedSize(
                                       QSizeF(root->implicitWidth(), root->implicitHeight()),
                                       settings->screen()->availableGeometry().size()));
        for (const QString& key : row["keys"].toString().split(u' ')) {
            if (key.startsWith("focus:")) {
                item(settings, qPrintable(key.mid(6)))->forceActiveFocus();
                continue;
            }
            QVERIFY(settings);
            const QKeySequence sequence(key);
            QTest::keyClick(settings, Qt::Key(sequence[0].key()), sequence[0].keyboardModifiers());
        }
        if (row["after"].toString() == "closed") {
            QTRY_VERIFY(settings.isNull());
        } else {
            QVERIFY(settings && settings->isVisible());
        }
    }

    // The 259 x 300 popover beside the icon, away from the panel's edge, inside the work area
    // (the 1280 x 800 screen unless the row says). Rectangles as [left, top, right, bottom], so
    // that an anchor may lie anywhere in int's range.
    void popoverPlacement_data() { TestData::rows("row", "ui/cards.json", "placement"); }
    void popoverPlacement() {
        QFETCH(const QJsonObject, row);
        const auto rect = [](const QJsonValue& r) {
            return QRect(QPoint(r[0].toInt(), r[1].toInt()), QPoint(r[2].toInt(), r[3].toInt()));
        };
        const QRect screen(0, 0, 1280, 800);
        const QRect available = row.contains("available") ? rect(row["available"]) : screen;
        const QPoint origin(row["origin"][0].toInt(), row["origin"][1].toInt());
        QCOMPARE(PopoverPlacement::origin(rect(row["anchor"]), QSize(259, 300), screen, available),
                 origin);
    }

    // A click a host places anywhere in int's range -> where it is taken, near enough that
    // placing a window from it cannot overflow.
    void hostClick_data() { TestData::rows("row", "ui/cards.json", "clicks"); }
    void hostClick() {
        const auto row = TestData::fetch<QJsonObject>("row");
        const int given = row["given"].toInt();
        StatusNotifierItem item(QString{});
        QSignalSpy activated(&item, &StatusNotifierItem::activated);
        QSignalSpy menu(&item, &StatusNotifierItem::contextMenuRequested);
        item.Activate(given, 1);
        item.ContextMenu(given, 1);
        const QPoint taken = activated.value(0).value(0).toPoint();
        QCOMPARE(taken.x(), row["taken"].toInt());
        QCOMPARE(menu.value(0).value(0).toPoint(), taken);
    }

    // A limit's name as a provider gave it -> its row in the tray's tooltip (escaped: hosts read
    // it as markup), the menu's action ('&' marks no key) and the label a panel draws ('_'
    // neither); the XEmbed icon's tooltip shows the name as written.
    void outsideText_data() { TestData::rows("row", "ui/cards.json", "outsideText"); }
    void outsideText() {
        const auto row = TestData::fetch<QJsonObject>("row");
        Fixture f;
        UsageWindowSnapshot named = window("codex.named", State::available, 42.0);
        named.label = row["label"].toString();
        f.state.setSnapshot(ProviderID::codex, snapshot({named}));
        VantorInterface ui(f.state, f.coordinator, f.accounts, f.loginItem, f.defaults, f.center);
        TrayIcon& tray = *ui.trayIcon();
        QCOMPARE(tray.item().toolTip().text.section(u'\n', 1, 1), row["tooltip"].toString());
        // The rows follow "Show Usage" and its separator.
        QCOMPARE(ui.trayMenu()->actions().value(2)->text(), row["menu"].toString());
        DBusMenuExporter::Layout menu;
        DBusMenuExporter(*ui.trayMenu()).GetLayout(0, 1, {}, menu);
        const auto first = menu.children.value(2).value<DBusMenuExporter::Layout>();
        QCOMPARE(first.properties["label"].toString(), row["dbusmenu"].toString());
        ui.show();
        QTRY_VERIFY(tray.fallback() != nullptr);
        tray.setToolTip(named.label);
        const QString tip = tray.fallback()->toolTip();
        QTextDocument shown;  // as Qt's tooltip reads it
        Qt::mightBeRichText(tip) ? shown.setHtml(tip) : shown.setPlainText(tip);
        QCOMPARE(shown.toPlainText(), named.label);
    }

    // At every size, a good part of the drawn glyph stands at least 3:1 against the bar (the
    // black glyph it replaces stood 1.59:1 on #2b303b).
    void glyphContrast_data() { TestData::rows("row", "ui/cards.json", "contrast"); }
    void glyphContrast() {
        const QColor bar(TestData::fetch<QJsonObject>("row")["bar"].toString());
        const QIcon icon = TrayGlyph::icon();
        for (const QSize& size : icon.availableSizes()) {
            const QImage image = icon.pixmap(size).toImage();
            int opaque = 0;
            int legible = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    opaque += c.alpha() == 255;
                    legible += c.alpha() == 255 && contrast(c, bar) >= 3.0;
                }
            }
            QVERIFY2(legible * 4 >= opaque && opaque > 0,
                     qPrintable(QString::number(size.width())));
        }
    }

    // A text's natural width in a room of 72 -> whether it is drawn, narrowed at most to 0.72.
    void trayFigureNarrowing_data() {
        QTest::addColumn<double>("natural");
        QTest::addColumn<bool>("drawn");
        QTest::newRow("as wide as the room") << 72.0 << true;
        QTest::newRow("narrowed to the bound") << 100.0 << true;
        QTest::newRow("just past the bound") << 100.2 << false;
        QTest::newRow("just within the bound") << 99.8 << true;
    }
    void trayFigureNarrowing() {
        QFETCH(double, natural);
        QFETCH(bool, drawn);
        QCOMPARE(TrayFigure::fitsNarrowed(natural, 72.0), drawn);
    }

    // Rows of "figures" in tests/data/ui/cards.json: a figure at a size -> the text it shows,
    // measured in its pixels: digits at least 8 px tall at 16 px, the arc as the share left
    // from the top clockwise (a full window a full ring), faded while not current; on every
    // bar of "contrast", the digits and the ring stand 3:1, by their ink and arc or by their
    // band.
    void trayFigure_data() { TestData::rows("row", "ui/cards.json", "figures"); }
    void trayFigure() {
        const auto row = TestData::fetch<QJsonObject>("row");
        const int side = row["side"].toInt();
        const TrayFigure figure{
            .text = row["text"].toString(),
            .left = row["left"].toDouble(),
            .severity = static_cast<UsageSeverity>(
                QStringList({"normal", "nearing", "spent"}).indexOf(row["severity"].toString())),
            .faded = row["faded"].toBool()};
        QCOMPARE(figure.shownText(side), row["shown"].toString());
        const QImage icon = figure.render(side);
        QCOMPARE(icon.size(), QSize(side, side));
        const QColor ink = QColor::fromRgba(TrayFigure::inkColor);
        const QColor band = QColor::fromRgba(TrayFigure::bandColor);
        const QColor arc = TrayFigure::arcColor(figure.severity);
        int top = side;
        int bottom = -1;
        int bandPixels = 0;
        int arcLeftHalf = 0;
        QSet<int> arcQuarters;
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                // Each opaque pixel counts as the shade it lies nearest: an edge mostly ink is
                // ink.
                const QColor c = icon.pixelColor(x, y);
                if (c.alpha() != 255) {
                    continue;
                }
                const auto distance = [&c](const QColor& to) {
                    return std::hypot(c.red() - to.red(), c.green() - to.green(),
                                      c.blue() - to.blue());
                };
                const double nearest = std::min({distance(ink), distance(band), distance(arc)});
                if (distance(ink) == nearest) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
                bandPixels += distance(band) == nearest;
                // The arc's own colour, not a blend at an edge nor a faded one.
                if (distance(arc) < 24.0) {
                    arcQuarters.insert((x < side / 2 ? 0 : 1) + (y < side / 2 ? 0 : 2));
                    arcLeftHalf += x < side / 2 - 1;
                }
            }
        }
        if (figure.shownText(side).isEmpty()) {
            QCOMPARE(bottom, -1);
        } else {
            QVERIFY2(bottom - top + 1 >= TrayFigure::minimumDigitHeight * side / 16,
                     qPrintable(QString::number(bottom - top + 1)));
        }
        QVERIFY(bandPixels > 0);
        if (figure.faded) {
            // Fainter than the arc, still 3:1 on the band.
            QVERIFY(arcQuarters.isEmpty());
            QVERIFY(contrast(TrayFigure::fadedArcColor(figure.severity), band) >= 3.0);
        } else if (figure.left >= 1.0) {
            QCOMPARE(arcQuarters.size(), 4);
        } else if (figure.left > 0.0) {
            QVERIFY(!arcQuarters.isEmpty());
            QCOMPARE(arcLeftHalf, figure.left < 0.5 ? 0 : arcLeftHalf);
        }
        // On every bar the figure stands out by its ink or its band, and its arc on the band.
        QVERIFY(contrast(ink, band) >= 4.5);
        QVERIFY2(contrast(arc, band) >= 3.0, qPrintable(arc.name()));
        for (const QJsonValue bar : QJsonDocument::fromJson(TestData::read(
                 VANTOR_TEST_DATA_DIR "/ui/cards.json"))["contrast"]
                                        .toArray()) {
            const QColor shade(bar["bar"].toString());
            QVERIFY2(std::max(contrast(ink, shade), contrast(band, shade)) >= 3.0,
                     qPrintable(shade.name()));
        }
    }

    // Rows of tests/data/ui/contrast.json "pairs", each in every palette of "palettes": a
    // colour of the theme drawn over its ground (the theme's colours named bottom up, each at
    // its alpha) -> at least `least`, and at most `most` where an inactive control must look
    // dimmed.
    void themeContrast_data() {
        const QJsonDocument table = QJsonDocument::fromJson(
            TestData::read(QStringLiteral(VANTOR_TEST_DATA_DIR "/ui/contrast.json")));
        QTest::addColumn<QJsonObject>("pair");
        QTest::addColumn<QJsonObject>("palette");
        QVERIFY(!table["pairs"].toArray().isEmpty() && !table["palettes"].toArray().isEmpty());
        for (const QJsonValue pair : table["pairs"].toArray()) {
            for (const QJsonValue palette : table["palettes"].toArray()) {
                QTest::addRow("%s, %s", qPrintable(pair["name"].toString()),
                              qPrintable(palette["name"].toString()))
                    << pair.toObject() << palette.toObject();
            }
        }
    }
    void themeContrast() {
        QFETCH(const QJsonObject, pair);
        QFETCH(const QJsonObject, palette);
        // The rest of the palette follows from its button and window colours, as Qt makes it.
        QPalette given(QColor(palette["Button"].toString()), QColor(palette["Window"].toString()));
        const QMetaEnum roles = QMetaEnum::fromType<QPalette::ColorRole>();
        for (const QString& key : palette.keys()) {
            if (const int role = roles.keyToValue(qPrintable(key)); role >= 0) {
                given.setColor(QPalette::ColorRole(role), QColor(palette[key].toString()));
            }
        }
        const QPalette before = QGuiApplication::palette();
        QGuiApplication::setPalette(given);
        const Theme theme;
        const auto colour = [&](const QJsonValue& name) {
            const QVariant value = theme.property(qPrintable(name.toString()));
            [&] { QVERIFY2(value.isValid(), qPrintable(name.toString())); }();
            return value.value<QColor>();
        };
        const QJsonArray layers = pair["over"].toArray();
        QColor ground = colour(layers.first());
        for (qsizetype i = 1; i < layers.size(); ++i) {
            ground = Contrast::over(colour(layers[i]), ground);
        }
        const QColor drawn = Contrast::over(colour(pair["colour"]), ground);
        QGuiApplication::setPalette(before);
        const double ratio = Contrast::ratio(drawn, ground);
        const bool within =
            ratio >= pair["least"].toDouble() && ratio <= pair["most"].toDouble(21.0);
        QVERIFY2(within, qPrintable(QStringLiteral("%1 on %2: %3")
                                        .arg(drawn.name(), ground.name())
                                        .arg(ratio, 0, 'f', 2)));
    }

    // Rows of "mark": the share used of Codex's window at the default threshold (90 %) ->
    // whether the card's ring shows its nearing mark, a cue beside the ring's colour.
    void nearingMark_data() { TestData::rows("row", "ui/contrast.json", "mark"); }
    void nearingMark() {
        const QJsonObject row = TestData::fetch<QJsonObject>("row");
        Fixture f;
        f.state.setSnapshot(
            ProviderID::codex,
            snapshot({window("codex.primary", State::available, row["used"].toDouble())}));
        VantorInterface ui(f.state, f.coordinator, f.accounts, f.loginItem, f.defaults, f.center);
        ui.showPopover();
        const QQuickItem* ring = item(ui.popoverWindow(), "ring");
        QVERIFY(ring != nullptr);
        const auto* mark = ring->findChild<QQuickItem*>(QStringLiteral("nearingMark"));
        QVERIFY(mark != nullptr);
        QCOMPARE(mark->isVisible(), row["mark"].toBool());
    }

    // Rows of "ratio": a colour at its alpha over a ground -> WCAG's ratio, and whether it
    // passes as text (4.5) and as a graphic (3).
    void contrastRatio_data() { TestData::rows("row", "ui/contrast.json", "ratio"); }
    void contrastRatio() {
        const QJsonObject row = TestData::fetch<QJsonObject>("row");
        const QColor ground(row["ground"].toString());
        const double ratio =
            Contrast::ratio(Contrast::over(QColor(row["colour"].toString()), ground), ground);
        QVERIFY2(std::abs(ratio - row["ratio"].toDouble()) < 0.0006,
                 qPrintable(QString::number(ratio)));
        QCOMPARE(ratio >= Theme::textContrast, row["text"].toBool());
        QCOMPARE(ratio >= Theme::graphicContrast, row["graphic"].toBool());
    }

    // Rows of "bounds": a colour (at an opacity) on a ground, asked to stand its own ratio plus
    // `above` -> kept as it is, or moved to a shade (a higher opacity) that stands it.
    void contrastBounds_data() { TestData::rows("row", "ui/contrast.json", "bounds"); }
    void contrastBounds() {
        const QJsonObject row = TestData::fetch<QJsonObject>("row");
        const QColor ground(row["ground"].toString());
        QColor given(row["colour"].toString());
        const bool fades = row.contains("opacity");
        if (fades) {
            given.setAlpha(static_cast<int>(std::lround(row["opacity"].toDouble() * 255)));
        }
        const double minimum = Contrast::least(given, {ground}) + row["above"].toDouble();
        const QColor chosen =
            fades ? Contrast::atOpacity(QColor(row["colour"].toString()), row["opacity"].toDouble(),
                                        {ground}, minimum)
                  : Contrast::legible(given, {ground}, minimum);
        QCOMPARE(chosen == given, row["kept"].toBool());
        QVERIFY2(Contrast::least(chosen, {ground}) >= minimum,
                 qPrintable(chosen.name(QColor::HexArgb)));
        QCOMPARE(chosen.alpha() > given.alpha(), fades && !row["kept"].toBool());
    }

    // A refused login item snaps the switch back after a real click; a switch's whole row
    // toggles it. The sanitizer build runs
    // this alone without leak checks: Qt 6.4's software renderer keeps the controls' painters
    // in a cycle past the window.
    void settingsSwitchClick() {
        if (qEnvironmentVariableIsSet("VANTOR_TEST_UNRENDERED")) {
            QSKIP("run by tst_Ui_rendered");
        }
        Fixture f;
        f.loginItem.refuses = true;
        VantorInterface ui(f.state, f.coordinator, f.accounts, f.loginItem, f.defaults, f.center);
        ui.showSettings();
        QQuickView* settings = ui.settingsPresenter()->window();
        QTRY_VERIFY(settings->isExposed());
        QQuickItem* toggle = item(settings, "launchAtLogin");
        const QPointF centre = toggle->mapToScene(toggle->boundingRect().center());
        QTest::mouseClick(settings, Qt::LeftButton, {}, centre.toPoint());
        QVERIFY(!toggle->property("checked").toBool());
        QVERIFY(!f.defaults.contains(LaunchAtLoginController::configuredKey));
        // Accepted, the switch stays on and the choice is remembered.
        f.loginItem.refuses = false;
        QTest::mouseClick(settings, Qt::LeftButton, {}, centre.toPoint());
        QVERIFY(toggle->property("checked").toBool());
        QCOMPARE(f.loginItem.currentStatus, LoginItemService::Status::enabled);
        QVERIFY(f.defaults.contains(LaunchAtLoginController::configuredKey));

        // A click on a switch's label toggles it too, here and in the popover's sound row.
        QVERIFY(f.state.alertsEnabled());
        item(settings, "alertsEnabled")->forceActiveFocus();  // scrolls it into view
        QQuickItem* row = item(settings, "alertsEnabledRow");
        QTest::mouseClick(settings, Qt::LeftButton, {},
                          row->mapToScene(QPointF(4, row->height() / 2)).toPoint());
        QTRY_VERIFY(!f.state.alertsEnabled());
        ui.showPopover();
        QQuickView* popover = ui.popoverWindow();
        QTRY_VERIFY(popover->isExposed());
        QQuickItem* sound = item(popover, "soundSwitch")->parentItem();
        QTest::mouseClick(popover, Qt::LeftButton, {},
                          sound->mapToScene(QPointF(14, sound->height() / 2)).toPoint());
        QVERIFY(f.state.alertsEnabled());
    }
};

QTEST_MAIN(UiTest)
#include "tst_Ui.moc"
