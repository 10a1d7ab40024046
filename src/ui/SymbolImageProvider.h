#pragma once

#include <QQuickImageProvider>

// Serves "image://symbol/<name>/<colour>": the bundled monochrome symbol <name> painted in
// the colour (hex digits, without '#'), so the utility rows follow the palette.
class SymbolImageProvider : public QQuickImageProvider {
public:
    SymbolImageProvider();

    QImage requestImage(const QString& id, QSize* size, const QSize& requestedSize) override;

    // Any bundled SVG as a one-colour image: only its alpha counts.
    static QImage render(const QString& svgPath, const QSize& size, const QColor& color);
};
