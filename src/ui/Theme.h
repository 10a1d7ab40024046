#pragma once

#include <QtQml/qqmlregistration.h>
#include <QColor>
#include <QObject>
#include <QPalette>

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
    Q_PROPERTY(QColor paletteWindow READ paletteWindow NOTIFY changed)
    Q_PROPERTY(QColor paletteWindowText READ paletteWindowText NOTIFY changed)
    Q_PROPERTY(QColor paletteBase READ paletteBase NOTIFY changed)
    Q_PROPERTY(QColor paletteAlternateBase READ paletteAlternateBase NOTIFY changed)
    Q_PROPERTY(QColor paletteText READ paletteText NOTIFY changed)
    Q_PROPERTY(QColor paletteButton READ paletteButton NOTIFY changed)
    Q_PROPERTY(QColor paletteButtonText READ paletteButtonText NOTIFY changed)
    Q_PROPERTY(QColor paletteHighlight READ paletteHighlight NOTIFY changed)
    Q_PROPERTY(QColor paletteHighlightedText READ paletteHighlightedText NOTIFY changed)
    Q_PROPERTY(QColor paletteLight READ paletteLight NOTIFY changed)
    Q_PROPERTY(QColor paletteMidlight READ paletteMidlight NOTIFY changed)
    Q_PROPERTY(QColor paletteMid READ paletteMid NOTIFY changed)
    Q_PROPERTY(QColor paletteDark READ paletteDark NOTIFY changed)
    Q_PROPERTY(QColor paletteShadow READ paletteShadow NOTIFY changed)
    Q_PROPERTY(QString symbolTint READ symbolTint NOTIFY changed)
    Q_PROPERTY(double inactiveRingOpacity READ inactiveRingOpacity CONSTANT)
    // Text sizes in pixels from the application's font, so they follow the desktop's font size
    // and large text: 11, 12 and 13 at the usual 10 pt (13 px) font; `textScale` the ratio.
    Q_PROPERTY(double textScale READ textScale NOTIFY changed)
    Q_PROPERTY(int smallTextSize READ smallTextSize NOTIFY changed)
    Q_PROPERTY(int textSize READ textSize NOTIFY changed)
    Q_PROPERTY(int largeTextSize READ largeTextSize NOTIFY changed)

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
    // The application palette, handed to the controls: Qt Quick's own follows only the
    // platform theme, not a palette the application sets.
    QColor paletteWindow() const { return role(QPalette::Window); }
    QColor paletteWindowText() const { return role(QPalette::WindowText); }
    QColor paletteBase() const { return role(QPalette::Base); }
    QColor paletteAlternateBase() const { return role(QPalette::AlternateBase); }
    QColor paletteText() const { return role(QPalette::Text); }
    QColor paletteButton() const { return role(QPalette::Button); }
    QColor paletteButtonText() const { return role(QPalette::ButtonText); }
    QColor paletteHighlight() const { return role(QPalette::Highlight); }
    QColor paletteHighlightedText() const { return role(QPalette::HighlightedText); }
    QColor paletteLight() const { return role(QPalette::Light); }
    QColor paletteMidlight() const { return role(QPalette::Midlight); }
    QColor paletteMid() const { return role(QPalette::Mid); }
    QColor paletteDark() const { return role(QPalette::Dark); }
    QColor paletteShadow() const { return role(QPalette::Shadow); }
    // The text colour as hex digits, for image://symbol/<name>/<tint>.
    QString symbolTint() const;
    static double inactiveRingOpacity() { return 0.42; }
    static double textScale();
    static int smallTextSize() { return scaledTextSize(11, textScale()); }
    static int textSize() { return scaledTextSize(12, textScale()); }
    static int largeTextSize() { return scaledTextSize(13, textScale()); }
    // A size of the usual 13 px font's design at `scale`, never below the smallest legible.
    static int scaledTextSize(int pixels, double scale);
    // The application font's height in pixels over the 13 px the sizes were drawn at.
    static double textScaleOf(int fontPixels);

    bool eventFilter(QObject* watched, QEvent* event) override;

Q_SIGNALS:
    void changed();

private:
    static QColor role(QPalette::ColorRole role);
};
