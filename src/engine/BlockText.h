#pragma once

#include "Instant.h"
#include "UsageBlock.h"

#include <QLocale>
#include <QString>

// The words for a block, shared by the card, the tray, the command line and the announcement
// of its end, so that all of them name it alike.
namespace BlockText {

// Why use is stopped, in the user's words: one text per reason the peers report ("Workspace
// credits used up"), a general one for any other.
QString reason(const UsageBlock& block);
// When it lifts, while that lies ahead: "until Jan 1, 09:00", "back in 12 min"; else empty.
QString lift(const UsageBlock& block, Instant now, const QLocale& locale);
// The reason and, while it lies ahead, when it lifts: "Workspace credits used up · until
// Jan 1, 09:00", "Usage limit reached · back in 12 min".
QString headline(const UsageBlock& block, Instant now, const QLocale& locale);
// The body of the announcement that it has lifted.
QString liftedBody(const UsageBlock& block);

}  // namespace BlockText
