#include "MoneyText.h"

#include "TimeDisplayFormatter.h"

#include <QCoreApplication>
#include <QHash>
#include <QLocale>
#include <QStringList>

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("MoneyText", text);
}

QString amount(const ExtraUsage& amount, double major, const QLocale& locale) {
    return MoneyText::money(major, amount.currency, amount.decimalPlaces, locale);
}

QString count(double value, const QLocale& locale) {
    return locale.toString(value, 'f', QLocale::FloatingPointShortest);
}

// The symbol a locale of the user's language uses for a currency not its own, else any
// locale's, else its code. Every locale is looked through once per currency and language: the
// money lines are drawn again on every change.
QString foreignSymbol(const QString& currency, const QLocale& locale) {
    thread_local QHash<QString, QString> known;
    const QString key = currency + u'/' + QString::number(locale.language());
    if (const auto found = known.constFind(key); found != known.cend()) {
        return *found;
    }
    QString symbol = currency;
    bool sameLanguage = false;
    for (const QLocale& other : QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript,
                                                         QLocale::AnyTerritory)) {
        if (other.currencySymbol(QLocale::CurrencyIsoCode) != currency ||
            (sameLanguage && other.language() != locale.language())) {
            continue;
        }
        symbol = other.currencySymbol(QLocale::CurrencySymbol);
        sameLanguage = other.language() == locale.language();
        if (sameLanguage) {
            break;
        }
    }
    known.insert(key, symbol);
    return symbol;
}

}  // namespace

namespace MoneyText {

QString money(double amount, const QString& currency, int decimals, const QLocale& locale) {
    // Without a symbol Qt would put in the locale's own currency, which is not this amount's.
    if (currency.isEmpty()) {
        return locale.toString(amount, 'f', decimals);
    }
    const QString symbol = locale.currencySymbol(QLocale::CurrencyIsoCode) == currency
                               ? locale.currencySymbol(QLocale::CurrencySymbol)
                               : foreignSymbol(currency, locale);
    return locale.toCurrencyString(amount, symbol, decimals);
}

QString line(const ProviderUsageSnapshot& snapshot, Instant now, const QLocale& locale) {
    QStringList parts;
    if (const auto& extra = snapshot.extraUsage) {
        const QString used = amount(*extra, extra->usedAmount(), locale);
        // Extra usage is counted per calendar month.
        parts.append(extra->limitMinorUnits
                         ? tr("Extra usage: %1 of %2 this month")
                               .arg(used, amount(*extra, *extra->limitAmount(), locale))
                         : tr("Extra usage: %1 this month").arg(used));
    }
    if (const auto& spend = snapshot.spend; spend && !snapshot.spendRepeatsExtraUsage()) {
        const QString used = amount(*spend, spend->usedAmount(), locale);
        parts.append(
            spend->limitMinorUnits
                ? tr("Spent: %1 of %2").arg(used, amount(*spend, *spend->limitAmount(), locale))
                : tr("Spent: %1").arg(used));
    }
    if (const auto& limit = snapshot.individualLimit) {
        QString text = limit->limit
                           ? tr("Workspace credits: %1 of %2 used")
                                 .arg(count(limit->used, locale), count(*limit->limit, locale))
                           : tr("Workspace credits: %1 used").arg(count(limit->used, locale));
        if (limit->resetsAt && limit->resetsAt->secondsSince(now) > 0.0) {
            text = TimeDisplayFormatter().withReset(text, *limit->resetsAt, now, locale);
        }
        parts.append(text);
    }
    if (snapshot.unlimitedCredits == true) {
        parts.append(tr("Unlimited credits"));
    } else if (snapshot.creditBalance) {
        parts.append(tr("%1 credits left").arg(count(*snapshot.creditBalance, locale)));
    }
    return parts.join(QStringLiteral(" \u00b7 "));
}

QString windowDollars(const UsageWindowSnapshot& window, const QLocale& locale) {
    const QString usd = QStringLiteral("USD");
    if (window.usedDollars && window.limitDollars) {
        return tr("%1 of %2 used")
            .arg(money(*window.usedDollars, usd, 2, locale),
                 money(*window.limitDollars, usd, 2, locale));
    }
    if (window.usedDollars) {
        return tr("%1 used").arg(money(*window.usedDollars, usd, 2, locale));
    }
    return {};
}

}  // namespace MoneyText
