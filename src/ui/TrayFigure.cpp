#include "TrayFigure.h"

#include "UsageColor.h"

#include <QCoreApplication>
#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

// "45m", "2h", "3d": the time to a reset, rounded up, in the fewest characters. Drawn into a
// 16-pixel icon, so the unit stays one narrow letter in every language.
QString shortDuration(double seconds) {
    // A reset years away is a bad value: it is shown as a year at most.
    const auto minutes =
        static_cast<qint64>(std::ceil(std::clamp(seconds, 60.0, 366.0 * 86400.0) / 60.0));
    if (minutes < 60) {
        return QCoreApplication::translate("TrayFigure", "%1m").arg(minutes);
    }
    const qint64 hours = (minutes + 59) / 60;
    if (hours < 48) {
        return QCoreApplication::translate("TrayFigure", "%1h").arg(hours);
    }
    return QCoreApplication::translate("TrayFigure", "%1d").arg((hours + 23) / 24);
}

}  // namespace

std::optional<TrayFigure> TrayFigure::from(const SnapshotMap& snapshots, Instant now) {
    std::optional<TrayFigure> lowest;
    std::optional<double> nearestReset;
    bool spent = false;
    const auto comesBack = [&](std::optional<Instant> at) {
        if (at && at->secondsSince(now) > 0.0 &&
            (!nearestReset || at->secondsSince(now) < *nearestReset)) {
            nearestReset = at->secondsSince(now);
        }
    };
    for (const ProviderUsageSnapshot& snapshot : snapshots) {
        // A blocked account is spent until its block lifts, whatever room its windows have.
        if (const auto block = snapshot.accountBlock()) {
            spent = true;
            comesBack(block->until);
        }
        for (const UsageWindowSnapshot& window : snapshot.windows) {
            const std::optional<double> used = window.displayPercent();
            if (!used) {
                continue;
            }
            // Inside a blocked account only the block's end brings use back.
            const bool blockedAccount = snapshot.accountBlock().has_value();
            if (const auto block = snapshot.blockOf(window); block && !blockedAccount) {
                spent = true;
                comesBack(block->until);
            } else if (!blockedAccount &&
                       (window.state == UsageWindowState::exhausted || *used >= 100.0)) {
                spent = true;
                comesBack(window.resetAt);
            }
            if (!lowest || 100.0 - *used < lowest->left * 100.0) {
                lowest = TrayFigure{.text = QString::number(*window.percentLeft()),
                                    .left = (100.0 - *used) / 100.0,
                                    .usedPercent = *used};
            }
        }
    }
    if (spent) {
        lowest = lowest.value_or(TrayFigure{});
        lowest->left = 0.0;
        lowest->usedPercent = 100.0;
        lowest->text = nearestReset ? shortDuration(*nearestReset) : QStringLiteral("0");
    }
    return lowest;
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
    painter.setPen(QPen(toColor(usageColor(usedPercent)), pen, Qt::SolidLine, Qt::FlatCap));
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
