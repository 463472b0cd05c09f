#include "model/TextGrid.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

TEST(TextGrid, GrowsToTheCellsSetAndReadsEmptyOutside) {
    TTextGrid grid;
    EXPECT_EQ(grid.ColCount(), 0);
    EXPECT_EQ(grid.RowCount(), 0);
    grid.SetCell(2, 1, "c");
    EXPECT_EQ(grid.ColCount(), 3);
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.Cell(2, 1), "c");
    EXPECT_EQ(grid.Cell(0, 0), "");
    EXPECT_EQ(grid.Cell(3, 1), "");
    EXPECT_EQ(grid.Cell(2, 2), "");
    EXPECT_EQ(grid.Cell(-1, 0), "");
    grid.SetCell(-1, 0, "ignored");
    grid.SetCell(0, -1, "ignored");
    EXPECT_EQ(grid.ColCount(), 3);
    EXPECT_EQ(grid.RowCount(), 2);
}

TEST(TextGrid, ResizingKeepsTheCellsInsideAndEmptiesTheNewOnes) {
    TTextGrid grid;
    grid.SetCell(0, 0, "a");
    grid.SetCell(3, 0, "d");
    grid.SetCell(1, 2, "x");
    grid.SetColCount(2);
    EXPECT_EQ(grid.ColCount(), 2);
    EXPECT_EQ(grid.Cell(0, 0), "a");
    EXPECT_EQ(grid.Cell(3, 0), "") << "outside the grid now";
    grid.SetColCount(5);
    EXPECT_EQ(grid.Cell(3, 0), "") << "a cell cut off comes back empty";
    EXPECT_EQ(grid.Cell(1, 2), "x");

    grid.SetRowCount(1);
    EXPECT_EQ(grid.Cell(1, 2), "");
    grid.SetRowCount(4);
    EXPECT_EQ(grid.RowCount(), 4);
    EXPECT_EQ(grid.Cell(1, 2), "") << "a row cut off comes back empty";
    EXPECT_EQ(grid.Cell(0, 0), "a");

    grid.SetColCount(-3);
    grid.SetRowCount(-1);
    EXPECT_EQ(grid.ColCount(), 0);
    EXPECT_EQ(grid.RowCount(), 0);
    EXPECT_EQ(grid.StoredCells(), 0u);
}

TEST(TextGrid, EmptyCellsPastARowsEndTakeNoStorage) {
    TTextGrid grid;
    grid.SetColCount(10000);
    grid.SetRowCount(10000);
    EXPECT_EQ(grid.StoredCells(), 0u);
    grid.SetCell(9999, 9999, "");
    EXPECT_EQ(grid.StoredCells(), 0u);
    grid.SetCell(5, 7, "t");
    EXPECT_EQ(grid.StoredCells(), 6u);
    grid.SetCell(2, 7, "");
    EXPECT_EQ(grid.Cell(2, 7), "");
    EXPECT_EQ(grid.Cell(5, 7), "t");
    grid.SetCell(5, 7, "");
    EXPECT_EQ(grid.Cell(5, 7), "") << "a text can be cleared";
}

}  // namespace
}  // namespace tavlor
