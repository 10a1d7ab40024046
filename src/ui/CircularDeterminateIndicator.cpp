#include "CircularDeterminateIndicator.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

CircularDeterminateIndicator::CircularDeterminateIndicator(QQuickItem* parent)
    : QQuickPaintedItem(parent) {
    setAntialiasing(true);
}

void CircularDeterminateIndicator::setProgress(double progress) {
    progress = std::clamp(progress, 0.0, 1.0);
    if (!qFuzzyCompare(progress, progress_)) {
        progress_ = progress;
        Q_EMIT progressChanged();
        update();
    }
}

void CircularDeterminateIndicator::setColor(const QColor& color) {
    if (color != color_) {
        color_ = color;
        Q_EMIT colorChanged();
        update();
    }
}

void CircularDeterminateIndicator::setTrackColor(const QColor& color) {
    if (color != trackColor_) {
        trackColor_ = color;
        Q_EMIT trackColorChanged();
        update();
    }
}

void CircularDeterminateIndicator::setLineWidth(double width) {
    if (!qFuzzyCompare(width, lineWidth_)) {
        lineWidth_ = width;
        Q_EMIT lineWidthChanged();
        update();
    }
}

void CircularDeterminateIndicator::paint(QPainter* painter) {
    const double side = std::min(width(), height());
    const double inset = lineWidth_ / 2.0;
    const QRectF circle((width() - side) / 2.0 + inset, (height() - side) / 2.0 + inset,
                        side - lineWidth_, side - lineWidth_);
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setBrush(Qt::NoBrush);
    painter->setPen(QPen(trackColor_, lineWidth_, Qt::SolidLine, Qt::FlatCap));
    painter->drawEllipse(circle);
    // Qt counts sixteenths of a degree, counter-clockwise from three o'clock.
    const int start = 90 * 16;
    const int span = -static_cast<int>(std::lround(progress_ * 360.0 * 16.0));
    painter->setPen(QPen(color_, lineWidth_, Qt::SolidLine, Qt::RoundCap));
    painter->drawArc(circle, start, span);
}
