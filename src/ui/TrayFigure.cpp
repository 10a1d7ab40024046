#include "TrayFigure.h"

#include "TimeDisplayFormatter.h"
#include "UsageColor.h"

#include <QCoreApplication>
#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

std::optional<TrayFigure> TrayFigure::from(const SnapshotMap& snapshots, Instant now,
                                           double nearingPercent) {
    // Each account is its headline, the window its card names; a blocked one is spent until
    // its block lifts. While any is spent the figure says when the first of those comes back;
    // else it is the headline with the least left.
    std::optional<UsageWindowSnapshot> tightest;
    std::optional<ProviderID> tightestProvider;
    std::optional<double> soonest;
    std::optional<ProviderID> spentProvider;
    for (const ProviderUsageSnapshot& snapshot : snapshots) {
        std::optional<Instant> back;
        if (const auto block = snapshot.accountBlock()) {
            back = block->until;
        } else if (const auto headline = snapshot.summaryWindow();
                   headline && headline->displayPercent()) {
            if (headline->severity(nearingPercent) != UsageSeverity::spent) {
                if (!tightest || *headline->displayPercent() > *tightest->displayPercent()) {
                    tightest = headline;
                    tightestProvider = snapshot.providerID;
                }
                continue;
            }
            back = headline->resetAt;
        } else {
            continue;
        }
        const bool comesBack = back && back->secondsSince(now) > 0.0;
        if (!spentProvider || (comesBack && (!soonest || back->secondsSince(now) < *soonest))) {
            spentProvider = snapshot.providerID;
            soonest = comesBack ? std::optional(back->secondsSince(now)) : std::nullopt;
        }
    }
    if (spentProvider) {
        return TrayFigure{
            .text = soonest ? TimeDisplayFormatter::shortDuration(*soonest) : QStringLiteral("0"),
            .left = 0.0,
            .usedPercent = 100.0,
            .severity = UsageSeverity::spent,
            .provider = spentProvider};
    }
    if (!tightest) {
        return std::nullopt;
    }
    const double used = *tightest->displayPercent();
    return TrayFigure{.text = QString::number(*tightest->percentLeft()),
                      .left = (100.0 - used) / 100.0,
                      .usedPercent = used,
                      .severity = tightest->severity(nearingPercent),
                      .provider = tightestProvider};
}

QImage TrayFigure::render(int side, const QColor& ink, const QColor& halo) const {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // The ring: a track in the halo's shade, the arc in the usage colour.
    const double pen = std::max(1.5, side / 10.0);
    const QRectF ring = QRectF(0, 0, side, side).adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2);
    painter.setPen(QPen(halo, pen));
    painter.drawEllipse(ring);
    painter.setPen(QPen(toColor(usageColor(severity)), pen, Qt::SolidLine, Qt::FlatCap));
    // Like the popover's rings, the arc is the share used.
    const double used = std::clamp(usedPercent / 100.0, 0.01, 1.0);
    painter.drawArc(ring, 90 * 16, -static_cast<int>(std::lround(used * 360 * 16)));
    // The text as large as fits inside the ring, drawn as a path with a rim so it reads on
    // any bar.
    QFont font;
    font.setBold(true);
    font.setPixelSize(std::max(6, static_cast<int>(side * (text.size() > 2 ? 0.36 : 0.46))));
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF box = path.boundingRect();
    path.translate(side / 2.0 - box.center().x(), side / 2.0 - box.center().y());
    painter.setPen(
        QPen(halo, std::max(1.0, side / 12.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawPath(path);
    painter.end();
    return image;
}
