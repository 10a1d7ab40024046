#pragma once

#include <QtQml/qqmlregistration.h>
#include <QColor>
#include <QQuickPaintedItem>

// A usage ring: a faint full track and, over it, a round-capped arc from twelve o'clock
// clockwise over the given share. The share arrives ready (clamped, with its 1 % minimum);
// opacity and animation are the view's.
class CircularDeterminateIndicator : public QQuickPaintedItem {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(double progress READ progress WRITE setProgress NOTIFY progressChanged)
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(QColor trackColor READ trackColor WRITE setTrackColor NOTIFY trackColorChanged)
    Q_PROPERTY(double lineWidth READ lineWidth WRITE setLineWidth NOTIFY lineWidthChanged)

public:
    explicit CircularDeterminateIndicator(QQuickItem* parent = nullptr);

    double progress() const { return progress_; }
    void setProgress(double progress);
    QColor color() const { return color_; }
    void setColor(const QColor& color);
    QColor trackColor() const { return trackColor_; }
    void setTrackColor(const QColor& color);
    double lineWidth() const { return lineWidth_; }
    void setLineWidth(double width);

    void paint(QPainter* painter) override;

Q_SIGNALS:
    void progressChanged();
    void colorChanged();
    void trackColorChanged();
    void lineWidthChanged();

private:
    double progress_ = 0.01;
    QColor color_;
    QColor trackColor_;
    double lineWidth_ = 6.0;
};
