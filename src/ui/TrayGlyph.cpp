#include "TrayGlyph.h"

#include "SymbolImageProvider.h"
#include "TrayFigure.h"

#include <QPainter>
#include <QPixmap>

namespace TrayGlyph {

QIcon icon() {
    const QString glyph = QStringLiteral(":/Vantor/Ui/icons/VantorStatus.svg");
    // The tray figure's shades: one look for the symbol and the figure.
    const QColor body = QColor::fromRgba(TrayFigure::inkColor);
    const QColor halo = QColor::fromRgba(TrayFigure::bandColor);
    QIcon icon;
    for (const int side : {16, 22, 24, 32, 48, 64}) {
        // The 20 x 18 glyph a little inside the square, so the halo fits around it.
        const int ring = std::max(1, side / 16);
        const int inner = side - 2 * ring;
        const QImage dark = SymbolImageProvider::render(glyph, QSize(inner, inner * 18 / 20), body);
        const QImage light =
            SymbolImageProvider::render(glyph, QSize(inner, inner * 18 / 20), halo);
        QImage square(side, side, QImage::Format_ARGB32_Premultiplied);
        square.fill(Qt::transparent);
        QPainter painter(&square);
        const QPoint at(ring, (side - dark.height()) / 2);
        for (int dx = -ring; dx <= ring; ++dx) {
            for (int dy = -ring; dy <= ring; ++dy) {
                painter.drawImage(at + QPoint(dx, dy), light);
            }
        }
        painter.drawImage(at, dark);
        painter.end();
        icon.addPixmap(QPixmap::fromImage(square));
    }
    return icon;
}

}  // namespace TrayGlyph
