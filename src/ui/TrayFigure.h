#pragma once

#include "ProviderUsageSnapshot.h"
#include "UsageSeverity.h"

#include <QImage>
#include <QString>

#include <optional>

// The figure the tray icon can show instead of the symbol: the share left of the account whose
// headline window has the least left, or, while an account's headline is spent or the account
// is blocked, the time until the first of those comes back ("2h").
struct TrayFigure {
    QString text;
    // The share left, 0...1.
    double left = 0.0;
    // The share used, which the ring draws in the colour of its severity.
    double usedPercent = 0.0;
    UsageSeverity severity = UsageSeverity::normal;
    // The account it names.
    std::optional<ProviderID> provider = std::nullopt;

    // None without a headline that has a figure, unless an account is blocked.
    static std::optional<TrayFigure> from(const SnapshotMap& snapshots, Instant now,
                                          double nearingPercent);
    // A square image of the ring and the text, `side` pixels wide, the text in `ink` inside a
    // rim of `halo`, so it stands out on a bar of either shade.
    QImage render(int side, const QColor& ink, const QColor& halo) const;
};
