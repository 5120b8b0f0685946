#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace endomira {

// The installation's artwork, drawn rather than shipped: a mosaic of corneal endothelial cells
// (irregular hexagons) in the program's blues.

// A round picture of cells, for the main window's logo, the about box and the window icon.
QPixmap CellsLogo(int diameter);
// A wide strip of cells, for the bands of the main window.
QPixmap CellsBand(QSize size);
// The window icon in the sizes a desktop asks for.
QIcon ProgramIcon();

} // namespace endomira
