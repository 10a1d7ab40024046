#pragma once

#include "Instant.h"
#include "ProviderUsageSnapshot.h"

#include <QLocale>
#include <QString>

// The words for money a provider reports, shared by the card, the tray's tooltip and the
// command line.
namespace MoneyText {

// An amount of the currency with this ISO code in the locale's own form ("€12.34",
// "12,34 €"); the code itself stands in for a symbol no locale knows.
QString money(double amount, const QString& currency, int decimals, const QLocale& locale);
// The provider's one line about money: extra usage ("Extra usage: €12.34 of €50.00 this
// month"), a spend that does not repeat it ("Spent: $20.00"), workspace credits ("Workspace
// credits: 100 of 100 used, resets Jan 1, 09:00") and a credit balance ("37.5 credits left"),
// the parts it reports joined; empty when it reports none.
QString line(const ProviderUsageSnapshot& snapshot, Instant now, const QLocale& locale);
// "$12.00 of $50.00 used" for a window billed in dollars; empty for one that is not.
QString windowDollars(const UsageWindowSnapshot& window, const QLocale& locale);

}  // namespace MoneyText
