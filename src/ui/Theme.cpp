#include "Theme.h"

#include <QEvent>
#include <QFontInfo>
#include <QGuiApplication>
#include <QPalette>

#include <algorithm>

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
    color.setAlphaF(static_cast<float>(color.alphaF() * opacity));
    return color;
}

QColor Theme::text() const {
    return QGuiApplication::palette().color(QPalette::WindowText);
}

QColor Theme::secondaryText() const {
    return withOpacity(text(), 0.6);
}

QColor Theme::tertiaryText() const {
    return withOpacity(text(), 0.35);
}

QColor Theme::quaternaryFill() const {
    return withOpacity(text(), 0.08);
}

QColor Theme::ringTrack() const {
    return withOpacity(text(), 0.16);
}

QColor Theme::accentHover() const {
    return withOpacity(QGuiApplication::palette().color(QPalette::Highlight), 0.22);
}

QColor Theme::surface() const {
    return QGuiApplication::palette().color(QPalette::Window);
}

QString Theme::symbolTint() const {
    return text().name(QColor::HexRgb).mid(1);
}

QColor Theme::role(QPalette::ColorRole role) {
    return QGuiApplication::palette().color(role);
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
