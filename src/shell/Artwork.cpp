#include "Artwork.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>
#include <numbers>

namespace endomira {

namespace {

const QColor kDeepBlue(16, 58, 112);
const QColor kCellBlue(120, 176, 232);
const QColor kCellLight(196, 224, 250);

// A fixed, repeatable jitter so that the cells look natural without changing between runs.
double Jitter(int i, int j, int salt) {
    // Unsigned arithmetic: the products wrap by design.
    const unsigned h = static_cast<unsigned>(i) * 73856093u ^ static_cast<unsigned>(j) * 19349663u ^
                       static_cast<unsigned>(salt) * 83492791u;
    return static_cast<double>(h % 1000) / 1000.0 - 0.5;
}

void PaintCells(QPainter& p, const QRectF& area, double cell, const QColor& fill,
                const QColor& border) {
    const double w = cell * std::sqrt(3.0);
    const double h = cell * 1.5;
    p.setPen(QPen(border, std::max(1.0, cell / 7.0)));
    const int rows = static_cast<int>(area.height() / h) + 3;
    const int cols = static_cast<int>(area.width() / w) + 3;
    for (int r = -1; r < rows; ++r) {
        for (int c = -1; c < cols; ++c) {
            const double cx =
                area.left() + c * w + ((r & 1) != 0 ? w / 2 : 0) + Jitter(r, c, 1) * cell * 0.25;
            const double cy = area.top() + r * h + Jitter(r, c, 2) * cell * 0.25;
            QPolygonF hexagon;
            for (int k = 0; k < 6; ++k) {
                const double a = std::numbers::pi / 3.0 * k + std::numbers::pi / 6.0;
                const double radius = cell * (0.98 + Jitter(r * 7 + k, c, 3) * 0.12);
                hexagon << QPointF(cx + radius * std::cos(a), cy + radius * std::sin(a));
            }
            QColor shade = fill;
            shade = shade.lighter(100 + static_cast<int>((Jitter(r, c, 4) + 0.5) * 25));
            p.setBrush(shade);
            p.drawPolygon(hexagon);
        }
    }
}

} // namespace

QPixmap CellsLogo(int diameter) {
    QPixmap pixmap(diameter, diameter);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF disc(1, 1, diameter - 2, diameter - 2);
    QPainterPath clip;
    clip.addEllipse(disc);
    p.setClipPath(clip);
    p.fillRect(disc, kDeepBlue);
    PaintCells(p, disc, diameter / 7.0, kCellBlue, kDeepBlue);
    p.setClipping(false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kDeepBlue, std::max(1.5, diameter / 24.0)));
    p.drawEllipse(
        disc.adjusted(diameter / 48.0, diameter / 48.0, -diameter / 48.0, -diameter / 48.0));
    return pixmap;
}

QPixmap CellsBand(QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(pixmap.rect(), kCellLight);
    PaintCells(p, QRectF(pixmap.rect()), size.height() / 2.6, kCellLight, QColor(168, 204, 238));
    return pixmap;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (const int side : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addPixmap(CellsLogo(side));
    }
    return icon;
}

} // namespace endomira
