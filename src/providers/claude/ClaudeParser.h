#pragma once

#include "Instant.h"
#include "ProviderUsageSnapshot.h"
#include "UsageWindowKind.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <optional>

// Turns the body of a successful usage response into a snapshot: the five-hour and weekly
// windows ("five_hour" and "seven_day", else the "session" and "weekly_all" entries of
// "limits"), one "Weekly · <model>" window per "weekly_scoped" entry (else the older per-model
// members that hold a value), and the extra usage when switched on.
namespace ClaudeParser {

// Domain of the error thrown for a body that is not JSON at all; the code is the
// QJsonParseError::ParseError and the context the offset of the fault.
inline const QString jsonErrorDomain = QStringLiteral("QJsonParseError");

// Throws VantorError: the JSON error above, or ProviderError::malformedResponse when the
// top level is not an object. An object without usable windows is not an error: it gives a
// snapshot without windows and unavailable confidence.
ProviderUsageSnapshot parse(const QByteArray& body, Instant now);

// An internet date-time such as 2026-03-10T04:59:59.771647+00:00: fractional seconds of any
// length, "Z" or a numeric offset. Anything else gives no value.
std::optional<Instant> parseInternetDateTime(QStringView text);

}  // namespace ClaudeParser
