#include "core/RuntimeError.h"
#include "screen/FlexGrid.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using palletry::FlexGrid;

namespace {

void fill(FlexGrid& grid, int dataRows)
{
    grid.setCols(4);
    grid.setRows(dataRows + 1);
    for (int r = 1; r <= dataRows; ++r) {
        grid.setText(r, 0, QString::number(r));
        grid.setText(r, 1, QString("item %1").arg(r));
    }
}

TEST(FlexGridTest, CursorStaysOnRefillAndMovesUpWhenRowsShrink)
{
    FlexGrid grid;
    fill(grid, 5);
    grid.setCurrentCell(4, 2);
    grid.clearCells();
    fill(grid, 5);
    EXPECT_EQ(grid.row(), 4);
    EXPECT_EQ(grid.col(), 2);
    grid.setRows(3);
    EXPECT_EQ(grid.row(), 2);
    EXPECT_EQ(grid.currentIndex(), grid.model()->index(2, 2));
    grid.setCols(2);
    EXPECT_EQ(grid.col(), 1);
    grid.setRows(9); // growing leaves it where it is
    EXPECT_EQ(grid.row(), 2);
    EXPECT_THROW(grid.setCurrentCell(9, 1), palletry::RuntimeError);
}

TEST(FlexGridTest, ADataCellOrALinesRowNumberTakesTheCursorTheHeadingRowLeavesIt)
{
    FlexGrid grid;
    fill(grid, 5);
    grid.resize(400, 200);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    QSignalSpy clicks(&grid, &FlexGrid::cellClicked);
    for (const QModelIndex& cell : {grid.model()->index(3, 2), grid.model()->index(0, 1), grid.model()->index(4, 0)})
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(cell).center());
    EXPECT_EQ(QList<QList<QVariant>>(clicks), (QList<QList<QVariant>>{{3, 2}, {3, 2}, {4, 1}}));
    EXPECT_EQ(grid.row(), 4);
    EXPECT_EQ(grid.col(), 1);
}

} // namespace
