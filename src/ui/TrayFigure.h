#pragma once

#include "ProviderUsageSnapshot.h"
#include "UsageSeverity.h"

#include <QImage>
#include <QString>

#include <optional>

// The figure the tray icon can show instead of the symbol: the share left of the account whose
// headline window has the least left, or, while an account's headline is spent or the account
// is blocked, the time until the first of those comes back ("2h"). A headline whose reset time
// has passed waits for its next reading and has no figure.
struct TrayFigure {
    QString text;
    // The share left, 0...1, which the ring draws: a full window is a full ring.
    double left = 0.0;
    // The share used.
    double usedPercent = 0.0;
    UsageSeverity severity = UsageSeverity::normal;
    // The account it names.
    std::optional<ProviderID> provider = std::nullopt;
    // The moment a countdown counts to; its text changes as it nears.
    std::optional<Instant> countsTo = std::nullopt;
    // Values that are not current draw a faded ring.
    bool faded = false;

    // The least a digit is tall at a 16-pixel icon, and how far a text may be narrowed to fit.
    static constexpr int minimumDigitHeight = 8;
    static constexpr double narrowest = 0.72;
    // Whether a text `natural` pixels wide fits `width` once narrowed at most to `narrowest`.
    static bool fitsNarrowed(double natural, double width);
    // The icon's own shades, whatever the bar: light ink and a bright arc on a dark band and
    // rim, so that the rim stands out on a light bar and the ink and arc on a dark one.
    static constexpr QRgb inkColor = 0xffffffff;
    static constexpr QRgb bandColor = 0xff2b2b2b;

    // None without a headline that has a figure, unless an account is blocked.
    static std::optional<TrayFigure> from(const SnapshotMap& snapshots, Instant now,
                                          double nearingPercent);
    // The arc's colour for a severity: the desktop palette's lighter red, yellow and blue, which
    // stand on the dark band.
    static QColor arcColor(UsageSeverity severity);
    // The arc of values not current: fainter, still 3:1 on the band.
    static QColor fadedArcColor(UsageSeverity severity);
    // What fits in a `side`-pixel icon with digits at least minimumDigitHeight tall there: the
    // text, else its number without the unit, else nothing (the ring alone: "100" is a full
    // ring).
    QString shownText(int side) const;
    // A square image of the ring and the text, `side` pixels wide.
    QImage render(int side) const;
};
