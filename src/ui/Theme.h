#pragma once

#include <QtQml/qqmlregistration.h>
#include <QColor>
#include <QList>
#include <QObject>
#include <QPalette>

// The interface's colours, from the application palette: text at falling opacities for the
// secondary and tertiary levels, fills, the accent, the usage colours and the window surface.
// Every colour that carries meaning is held at WCAG AA against what it sits on (4.5:1 for
// text, 3:1 for rings, lines, switches and focus rings) whatever the palette: where the
// desktop's colour falls short, the nearest shade that does not. Follows palette changes, so a
// switch between light and dark redraws at once.
class Theme : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QColor text READ text NOTIFY changed)
    Q_PROPERTY(QColor secondaryText READ secondaryText NOTIFY changed)
    Q_PROPERTY(QColor tertiaryText READ tertiaryText NOTIFY changed)
    Q_PROPERTY(QColor quaternaryFill READ quaternaryFill NOTIFY changed)
    Q_PROPERTY(QColor ringTrack READ ringTrack NOTIFY changed)
    Q_PROPERTY(QColor switchTrack READ switchTrack NOTIFY changed)
    Q_PROPERTY(QColor switchKnob READ switchKnob NOTIFY changed)
    Q_PROPERTY(QColor fieldEdge READ fieldEdge NOTIFY changed)
    Q_PROPERTY(QColor accent READ accent NOTIFY changed)
    Q_PROPERTY(QColor accentHover READ accentHover NOTIFY changed)
    Q_PROPERTY(QColor surface READ surface NOTIFY changed)
    Q_PROPERTY(QColor normalUsage READ normalUsage NOTIFY changed)
    Q_PROPERTY(QColor nearingUsage READ nearingUsage NOTIFY changed)
    Q_PROPERTY(QColor spentUsage READ spentUsage NOTIFY changed)
    Q_PROPERTY(QColor fadedNormalUsage READ fadedNormalUsage NOTIFY changed)
    Q_PROPERTY(QColor fadedNearingUsage READ fadedNearingUsage NOTIFY changed)
    Q_PROPERTY(QColor fadedSpentUsage READ fadedSpentUsage NOTIFY changed)
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
    Q_PROPERTY(QColor disabledWindowText READ disabledWindowText NOTIFY changed)
    Q_PROPERTY(QColor disabledBaseText READ disabledBaseText NOTIFY changed)
    Q_PROPERTY(QColor disabledButton READ disabledButton NOTIFY changed)
    Q_PROPERTY(QColor disabledButtonText READ disabledButtonText NOTIFY changed)
    Q_PROPERTY(QString symbolTint READ symbolTint NOTIFY changed)
    // Text sizes in pixels from the application's font, so they follow the desktop's font size
    // and large text: 11, 12 and 13 at the usual 10 pt (13 px) font; `textScale` the ratio.
    Q_PROPERTY(double textScale READ textScale NOTIFY changed)
    Q_PROPERTY(int smallTextSize READ smallTextSize NOTIFY changed)
    Q_PROPERTY(int textSize READ textSize NOTIFY changed)
    Q_PROPERTY(int largeTextSize READ largeTextSize NOTIFY changed)
    Q_PROPERTY(QString secondarySymbolTint READ secondarySymbolTint NOTIFY changed)

public:
    // The least contrast of text and of other meaningful marks against their ground.
    static constexpr double textContrast = 4.5;
    static constexpr double graphicContrast = 3.0;

    explicit Theme(QObject* parent = nullptr);

    static QColor withOpacity(QColor color, double opacity);

    QColor text() const;
    QColor secondaryText() const;
    QColor tertiaryText() const;
    QColor quaternaryFill() const;
    // The faint full circle under a ring's arc; the arc and the figures carry the value.
    QColor ringTrack() const;
    // An unchecked switch's track, and a switch's knob on it and on the accent: they mark its
    // state.
    QColor switchTrack() const;
    QColor switchKnob() const;
    // The edge of an entry field, which tells where to type: against the section and the
    // field's own ground.
    QColor fieldEdge() const;
    // The highlight as a mark: checked switches, focus rings.
    QColor accent() const;
    // The highlight as the ground of selected text in an entry or a list.
    QColor selection() const;
    QColor accentHover() const;
    QColor surface() const;
    // A card or settings section: the quaternary fill on the surface, opaque.
    QColor card() const;
    // A row under the pointer or the keyboard: the hover fill on the surface, opaque.
    QColor hoveredRow() const;
    QColor normalUsage() const;
    QColor nearingUsage() const;
    QColor spentUsage() const;
    // A ring of values not current, or of a card set back while another is open: lighter,
    // still 3:1.
    QColor fadedNormalUsage() const;
    QColor fadedNearingUsage() const;
    QColor fadedSpentUsage() const;
    // The application palette, handed to the controls: Qt Quick's own follows only the
    // platform theme, not a palette the application sets. Texts and the highlight in the
    // shades that read on their grounds.
    QColor paletteWindow() const { return role(QPalette::Window); }
    QColor paletteWindowText() const { return text(); }
    QColor paletteBase() const { return role(QPalette::Base); }
    QColor paletteAlternateBase() const { return role(QPalette::AlternateBase); }
    QColor paletteText() const;
    QColor paletteButton() const { return role(QPalette::Button); }
    QColor paletteButtonText() const;
    QColor paletteHighlight() const { return selection(); }
    QColor paletteHighlightedText() const;
    QColor paletteLight() const { return role(QPalette::Light); }
    QColor paletteMidlight() const { return role(QPalette::Midlight); }
    // The scroll bar's handle, idle and pressed.
    QColor paletteMid() const;
    QColor paletteDark() const;
    QColor paletteShadow() const { return role(QPalette::Shadow); }
    // The palette's disabled group: texts and buttons faded toward their ground, so an inactive
    // control and its label look it (no contrast is asked of them).
    QColor disabledWindowText() const;
    QColor disabledBaseText() const;
    QColor disabledButton() const;
    QColor disabledButtonText() const;
    // The text colour as hex digits, for image://symbol/<name>/<tint>; the secondary text's as
    // drawn on a card.
    QString symbolTint() const;
    static double textScale();
    static int smallTextSize() { return scaledTextSize(11, textScale()); }
    static int textSize() { return scaledTextSize(12, textScale()); }
    static int largeTextSize() { return scaledTextSize(13, textScale()); }
    // A size of the usual 13 px font's design at `scale`, never below the smallest legible.
    static int scaledTextSize(int pixels, double scale);
    // The application font's height in pixels over the 13 px the sizes were drawn at.
    static double textScaleOf(int fontPixels);
    QString secondarySymbolTint() const;

    bool eventFilter(QObject* watched, QEvent* event) override;

Q_SIGNALS:
    void changed();

private:
    static QColor role(QPalette::ColorRole role);
    // What texts sit on: the surface, a card, a hovered row and an entry field.
    QList<QColor> textGrounds() const;
    // What a ring's arc sits on: the card, and the track on the card.
    QList<QColor> ringGrounds() const;
};
