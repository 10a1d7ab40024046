#include "TrayFigure.h"

#include "Contrast.h"
#include "Theme.h"
#include "TimeDisplayFormatter.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

// Digits as tall as this share of the icon; never under TrayFigure::minimumDigitHeight at 16.
constexpr double digitShare = 0.6;

double rimWidth(int side) {
    return std::max(1.0, side / 16.0);
}

// The text as a path with its digits `digitHeight` tall, narrowed to `width` if need be; empty
// when that would narrow it beyond TrayFigure::narrowest.
QPainterPath textPath(const QString& text, double digitHeight, double width) {
    if (text.isEmpty()) {
        return {};
    }
    QFont font;
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    font.setPixelSize(100);
    QPainterPath digit;
    digit.addText(0, 0, font, QStringLiteral("0"));
    const double scale = digitHeight / digit.boundingRect().height();
    QPainterPath path;
    path.addText(0, 0, font, text);
    const double natural = path.boundingRect().width() * scale;
    if (!TrayFigure::fitsNarrowed(natural, width)) {
        return {};
    }
    const double across = natural > width ? scale * width / natural : scale;
    return QTransform::fromScale(across, scale).map(path);
}

QString withoutUnit(const QString& text) {
    qsizetype digits = 0;
    while (digits < text.size() && text[digits].isDigit()) {
        ++digits;
    }
    return text.left(digits);
}

}  // namespace

QColor TrayFigure::fadedArcColor(UsageSeverity severity) {
    // Lighter, as the popover's faded rings are, but never under 3:1 on the band.
    return Contrast::atOpacity(arcColor(severity), 0.4, {QColor::fromRgba(bandColor)},
                               Theme::graphicContrast);
}

bool TrayFigure::fitsNarrowed(double natural, double width) {
    return natural <= width || width / natural >= narrowest;
}

std::optional<TrayFigure> TrayFigure::from(const SnapshotMap& snapshots, Instant now,
                                           double nearingPercent) {
    // Each account is its headline, the window its card names; a blocked one is spent until
    // its block lifts. While any is spent the figure says when the first of those comes back;
    // else it is the headline with the least left. A block or a headline whose end has passed
    // waits for the next reading and counts for nothing.
    std::optional<UsageWindowSnapshot> tightest;
    std::optional<ProviderID> tightestProvider;
    std::optional<Instant> soonest;
    std::optional<ProviderID> spentProvider;
    for (const ProviderUsageSnapshot& snapshot : snapshots) {
        std::optional<Instant> back;
        if (const auto block = snapshot.accountBlock()) {
            if (block->hasLifted(now)) {
                continue;
            }
            back = block->until;
        } else if (const auto headline = snapshot.summaryWindow();
                   headline && headline->displayPercent() && !headline->awaitsReading(now)) {
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
        if (!spentProvider || (back && (!soonest || *back < *soonest))) {
            spentProvider = snapshot.providerID;
            soonest = back;
        }
    }
    if (spentProvider) {
        return TrayFigure{
            .text = soonest ? TimeDisplayFormatter::shortDuration(soonest->secondsSince(now))
                            : QStringLiteral("0"),
            .left = 0.0,
            .usedPercent = 100.0,
            .severity = UsageSeverity::spent,
            .provider = spentProvider,
            .countsTo = soonest};
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

QColor TrayFigure::arcColor(UsageSeverity severity) {
    switch (severity) {
        case UsageSeverity::spent:
            return {0xf6, 0x61, 0x51};
        case UsageSeverity::nearing:
            return {0xf8, 0xe4, 0x5c};
        case UsageSeverity::normal:
            break;
    }
    return {0x62, 0xa0, 0xea};
}

QString TrayFigure::shownText(int side) const {
    const double height = std::max<double>(minimumDigitHeight, std::round(side * digitShare));
    const double width = side - 2.0 * rimWidth(side);
    for (const QString& candidate : {text, withoutUnit(text)}) {
        if (!textPath(candidate, height, width).isEmpty()) {
            return candidate;
        }
    }
    return {};
}

QImage TrayFigure::render(int side) const {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // The ring: the dark band is the track, with a rim on either side of the arc.
    const double rim = rimWidth(side);
    const double pen = std::max(2.0, side / 8.0);
    const double inset = rim + pen / 2.0;
    const QRectF ring = QRectF(0, 0, side, side).adjusted(inset, inset, -inset, -inset);
    painter.setPen(QPen(QColor::fromRgba(bandColor), pen + 2.0 * rim));
    painter.drawEllipse(ring);
    const double height = std::max<double>(minimumDigitHeight, std::round(side * digitShare));
    QPainterPath path = textPath(shownText(side), height, side - 2.0 * rim);
    if (!path.isEmpty()) {
        // Whole pixels for the digits' top and bottom edges: sharp rather than blurred.
        const QRectF box = path.boundingRect();
        path.translate(side / 2.0 - box.center().x(),
                       std::round((side - box.height()) / 2.0) - box.top());
        painter.setPen(QPen(QColor::fromRgba(bandColor), 2.0 * rim, Qt::SolidLine, Qt::RoundCap,
                            Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
    }
    // The arc over the digits' rim and under their ink: it shows beside them where they cross.
    const double share = std::clamp(std::isfinite(left) ? left : 0.0, 0.0, 1.0);
    if (share > 0.0) {
        painter.setPen(QPen(faded ? fadedArcColor(severity) : arcColor(severity), pen,
                            Qt::SolidLine, Qt::FlatCap));
        if (share >= 1.0) {
            painter.drawEllipse(ring);
        } else {
            // From the top, clockwise; the least share still shows as a mark.
            const int span = static_cast<int>(std::lround(std::max(share, 0.03) * 360 * 16));
            painter.drawArc(ring, 90 * 16, -span);
        }
    }
    if (!path.isEmpty()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor::fromRgba(inkColor));
        painter.drawPath(path);
    }
    painter.end();
    return image;
}
