#pragma once

#include "commands/CommandTable.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>

namespace tavlor::ui {

// The program's own images, painted with QPainter in logical coordinates at device pixel
// ratios 1, 2 and 3, built once on first use (a QGuiApplication must exist by then).

// Number of command images (20x16) and of tree images (16x16).
inline constexpr int CommandImageCount = 14;
inline constexpr int TreeImageCount = 9;

// Command images, 20x16: 0 add phase, 1 add pool, 2 register player, 3 add match, 4 internet,
// 5 delete, 6 rename, 7 spreadsheet export, 8 printer, 9 formula T, 10 formula 2K, 11 formula 3K,
// 12 page with reload arrows, 13 reload arrows. Any other index gives a null icon.
QIcon CommandImage(int index);

// Tree images, 16x16: 0 phase, 1 pool, 2 registrants, 3 focus dot, 4 match count, 5 player count,
// 6 formula T, 7 formula 2K, 8 formula 3K. Any other index gives a null icon.
QIcon TreeImage(int index);

// The picture of a command; none for TCommandImage::None.
QIcon CommandImage(TCommandImage image);

// The tree's pictures, by what they show.
enum class TTreeImage : std::uint8_t {
    Phase,
    Pool,
    Registrants,
    Focus,
    Matches,
    Players,
    FormulaT,
    Formula2K,
    Formula3K,
};
QIcon TreeImage(TTreeImage image);

// An icon of the given logical size from one drawing, painted at ratios 1, 2 and 3.
QIcon PaintedIcon(QSize size, void (*draw)(QPainter&));

// The program's icon (green cloth, three balls), in sizes from 16 to 256 pixels.
QIcon ProgramIcon();

// The program's icon painted at size x size device pixels (ratio 1); empty for size < 1.
QPixmap ProgramPicture(int size);

}  // namespace tavlor::ui
