#include "Theme.h"

#include "Contrast.h"
#include "UsageColor.h"

#include <QEvent>
#include <QFontInfo>
#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <cmath>

namespace {

// The nominal levels of the text hierarchy, raised where a palette needs it.
constexpr double secondaryOpacity = 0.7;
constexpr double tertiaryOpacity = 0.35;
// How far an inactive control's text and face fade toward their ground.
constexpr double disabledOpacity = 0.4;
// How far a ring of values not current fades, before its contrast floor.
constexpr double fadedOpacity = 0.45;

}  // namespace

Theme::Theme(QObject* parent) : QObject(parent) {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->installEventFilter(this);
    }
}

bool Theme::eventFilter(QObject* watched, QEvent* event) {
    if (watched == QCoreApplication::instance() &&
        (event->type() == QEvent::ApplicationPaletteChange ||
         event->type() == QEvent::ApplicationFontChange)) {
        Q_EMIT changed();
    }
    return QObject::eventFilter(watched, event);
}

QColor Theme::withOpacity(QColor color, double opacity) {
    color.setAlpha(static_cast<int>(std::lround(color.alpha() * opacity)));
    return color;
}

QColor Theme::role(QPalette::ColorRole role) {
    return QGuiApplication::palette().color(role);
}

QColor Theme::surface() const {
    return role(QPalette::Window);
}

QColor Theme::quaternaryFill() const {
    return withOpacity(role(QPalette::WindowText), 0.08);
}

QColor Theme::card() const {
    return Contrast::over(quaternaryFill(), surface());
}

QColor Theme::accentHover() const {
    return withOpacity(role(QPalette::Highlight), 0.22);
}

QColor Theme::hoveredRow() const {
    return Contrast::over(accentHover(), surface());
}

QList<QColor> Theme::textGrounds() const {
    return {card(), surface(), hoveredRow(), role(QPalette::Base)};
}

QColor Theme::text() const {
    return Contrast::legible(role(QPalette::WindowText), textGrounds(), textContrast);
}

QColor Theme::secondaryText() const {
    return Contrast::atOpacity(text(), secondaryOpacity, textGrounds(), textContrast);
}

QColor Theme::tertiaryText() const {
    return Contrast::atOpacity(text(), tertiaryOpacity, textGrounds(), textContrast);
}

QColor Theme::ringTrack() const {
    return withOpacity(role(QPalette::WindowText), 0.16);
}

QColor Theme::switchTrack() const {
    return Contrast::atOpacity(text(), 0.3, {card()}, graphicContrast);
}

QColor Theme::switchKnob() const {
    // White, unless a bright accent on a dark palette needs a dark knob to show where it is.
    return Contrast::legible(QColor(255, 255, 255),
                             {accent(), Contrast::over(switchTrack(), card())}, graphicContrast);
}

QColor Theme::fieldEdge() const {
    return Contrast::legible(Contrast::over(withOpacity(text(), 0.5), card()),
                             {card(), role(QPalette::Base)}, graphicContrast);
}

QColor Theme::accent() const {
    return Contrast::legible(role(QPalette::Highlight), {card(), surface(), hoveredRow()},
                             graphicContrast);
}

QColor Theme::selection() const {
    // Deepened where the palette's selected text would not read on it.
    return Contrast::legible(role(QPalette::Highlight), {role(QPalette::HighlightedText)},
                             textContrast);
}

QList<QColor> Theme::ringGrounds() const {
    return {card(), Contrast::over(ringTrack(), card())};
}

QColor Theme::normalUsage() const {
    return toColor(UsageColor::blue, ringGrounds());
}

QColor Theme::nearingUsage() const {
    return toColor(UsageColor::yellow, ringGrounds());
}

QColor Theme::spentUsage() const {
    return toColor(UsageColor::red, ringGrounds());
}

QColor Theme::fadedNormalUsage() const {
    return Contrast::atOpacity(normalUsage(), fadedOpacity, ringGrounds(), graphicContrast);
}

QColor Theme::fadedNearingUsage() const {
    return Contrast::atOpacity(nearingUsage(), fadedOpacity, ringGrounds(), graphicContrast);
}

QColor Theme::fadedSpentUsage() const {
    return Contrast::atOpacity(spentUsage(), fadedOpacity, ringGrounds(), graphicContrast);
}

QColor Theme::paletteText() const {
    return Contrast::legible(role(QPalette::Text), {role(QPalette::Base)}, textContrast);
}

QColor Theme::paletteButtonText() const {
    return Contrast::legible(role(QPalette::ButtonText), {role(QPalette::Button)}, textContrast);
}

QColor Theme::paletteHighlightedText() const {
    return Contrast::legible(role(QPalette::HighlightedText), {selection()}, textContrast);
}

QColor Theme::paletteMid() const {
    return Contrast::legible(role(QPalette::Mid), {surface()}, graphicContrast);
}

QColor Theme::paletteDark() const {
    return Contrast::legible(role(QPalette::Dark), {surface()}, graphicContrast);
}

QColor Theme::disabledWindowText() const {
    // Labels stand in the settings' sections.
    return Contrast::over(withOpacity(text(), disabledOpacity), card());
}

QColor Theme::disabledBaseText() const {
    return Contrast::over(withOpacity(paletteText(), disabledOpacity), role(QPalette::Base));
}

QColor Theme::disabledButton() const {
    return Contrast::over(withOpacity(role(QPalette::Button), 0.5), surface());
}

QColor Theme::disabledButtonText() const {
    return Contrast::over(withOpacity(paletteButtonText(), disabledOpacity), disabledButton());
}

QString Theme::symbolTint() const {
    return text().name(QColor::HexRgb).mid(1);
}

QString Theme::secondarySymbolTint() const {
    return Contrast::over(secondaryText(), card()).name(QColor::HexRgb).mid(1);
}

namespace {

// The application font the sizes were drawn against: 10 pt at 96 dpi.
constexpr int designFontPixels = 13;
// Below this no text reads, whatever the desktop asks.
constexpr int smallestTextPixels = 8;

}  // namespace

double Theme::textScaleOf(int fontPixels) {
    return fontPixels > 0 ? static_cast<double>(fontPixels) / designFontPixels : 1.0;
}

double Theme::textScale() {
    return textScaleOf(QFontInfo(QGuiApplication::font()).pixelSize());
}

int Theme::scaledTextSize(int pixels, double scale) {
    return std::max(smallestTextPixels, qRound(pixels * scale));
}
