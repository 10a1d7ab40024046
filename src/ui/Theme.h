#pragma once

#include <QtQml/qqmlregistration.h>
#include <QColor>
#include <QObject>

// The interface's colours, from the application palette: text at falling opacities for the
// secondary, tertiary and quaternary levels, the accent and the window surface. Follows
// palette changes, so a switch between light and dark redraws at once.
class Theme : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QColor text READ text NOTIFY changed)
    Q_PROPERTY(QColor secondaryText READ secondaryText NOTIFY changed)
    Q_PROPERTY(QColor tertiaryText READ tertiaryText NOTIFY changed)
    Q_PROPERTY(QColor quaternaryFill READ quaternaryFill NOTIFY changed)
    Q_PROPERTY(QColor ringTrack READ ringTrack NOTIFY changed)
    Q_PROPERTY(QColor accentHover READ accentHover NOTIFY changed)
    Q_PROPERTY(QColor surface READ surface NOTIFY changed)
    Q_PROPERTY(QString symbolTint READ symbolTint NOTIFY changed)
    Q_PROPERTY(double inactiveRingOpacity READ inactiveRingOpacity CONSTANT)

public:
    explicit Theme(QObject* parent = nullptr);

    static QColor withOpacity(QColor color, double opacity);

    QColor text() const;
    QColor secondaryText() const;
    QColor tertiaryText() const;
    QColor quaternaryFill() const;
    QColor ringTrack() const;
    QColor accentHover() const;
    QColor surface() const;
    // The text colour as hex digits, for image://symbol/<name>/<tint>.
    QString symbolTint() const;
    static double inactiveRingOpacity() { return 0.42; }

    bool eventFilter(QObject* watched, QEvent* event) override;

Q_SIGNALS:
    void changed();
};
