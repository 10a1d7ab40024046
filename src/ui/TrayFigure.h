#pragma once

#include "ProviderUsageSnapshot.h"

#include <QImage>
#include <QString>

#include <optional>

// The figure the tray icon can show instead of the symbol: the lowest share left of all
// windows, or, while one is spent or blocked, the time to the nearest of their resets or the
// block's end ("2h").
struct TrayFigure {
    QString text;
    // The share left, 0...1.
    double left = 0.0;
    // The share used, which the ring draws in the colour it calls for.
    double usedPercent = 0.0;

    // None without a window that has a figure, unless something is blocked.
    static std::optional<TrayFigure> from(const SnapshotMap& snapshots, Instant now);
    // A square image of the ring and the text, `side` pixels wide, the text in `ink` inside a
    // rim of `halo`, so it stands out on a bar of either shade.
    QImage render(int side, const QColor& ink, const QColor& halo) const;
};
