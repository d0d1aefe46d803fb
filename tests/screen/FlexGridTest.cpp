#include "core/RuntimeError.h"
#include "screen/FlexGrid.h"

#include <QHeaderView>
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

TEST(FlexGridTest, StartsWithTwoByTwoAndCursorOnFirstDataCell)
{
    FlexGrid grid;
    EXPECT_EQ(grid.rows(), 2);
    EXPECT_EQ(grid.cols(), 2);
    EXPECT_EQ(grid.model()->rowCount(), 2);
    EXPECT_EQ(grid.model()->columnCount(), 2);
    EXPECT_EQ(grid.row(), 1);
    EXPECT_EQ(grid.col(), 1);
    EXPECT_EQ(grid.currentIndex(), grid.model()->index(1, 1));
    EXPECT_TRUE(grid.horizontalHeader()->isHidden());
    EXPECT_TRUE(grid.verticalHeader()->isHidden());
}

TEST(FlexGridTest, CountsAndCellsSurviveResizeAndClear)
{
    FlexGrid grid;
    fill(grid, 5);
    grid.setText(0, 3, "Item Description");
    EXPECT_EQ(grid.model()->rowCount(), 6);
    EXPECT_EQ(grid.model()->index(3, 1).data().toString(), "item 3");

    grid.setCols(5); // cells that remain keep their text
    EXPECT_EQ(grid.text(3, 1), "item 3");
    EXPECT_EQ(grid.text(0, 3), "Item Description");
    EXPECT_EQ(grid.text(3, 4), QString());

    grid.clearCells();
    EXPECT_EQ(grid.rows(), 6);
    EXPECT_EQ(grid.cols(), 5);
    EXPECT_EQ(grid.text(3, 1), QString());
    EXPECT_EQ(grid.text(0, 3), QString());

    grid.setText(2, 1, "x");
    grid.setRows(2);
    grid.setRows(4); // rows that were cut come back empty
    EXPECT_EQ(grid.text(3, 1), QString());
    EXPECT_THROW(grid.text(4, 0), palletry::RuntimeError);
    EXPECT_THROW(grid.setText(0, 5, "y"), palletry::RuntimeError);
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

TEST(FlexGridTest, ClickMovesCursorAndReportsTheCell)
{
    FlexGrid grid;
    fill(grid, 5);
    grid.resize(400, 200);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    QSignalSpy clicks(&grid, &FlexGrid::cellClicked);

    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(grid.model()->index(3, 2)).center());
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.at(0).at(0).toInt(), 3);
    EXPECT_EQ(clicks.at(0).at(1).toInt(), 2);
    EXPECT_EQ(grid.row(), 3);
    EXPECT_EQ(grid.col(), 2);

    // A heading cell is clicked but does not take the cursor.
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(grid.model()->index(0, 1)).center());
    ASSERT_EQ(clicks.count(), 2);
    EXPECT_EQ(clicks.at(1).at(0).toInt(), 3);
    EXPECT_EQ(grid.row(), 3);
    EXPECT_EQ(grid.col(), 2);
}

TEST(FlexGridTest, HeadingCellsLookLikeHeadings)
{
    FlexGrid grid;
    const QAbstractItemModel* m = grid.model();
    EXPECT_TRUE(m->index(0, 1).data(Qt::BackgroundRole).isValid());
    EXPECT_TRUE(m->index(1, 0).data(Qt::BackgroundRole).isValid());
    EXPECT_FALSE(m->index(1, 1).data(Qt::BackgroundRole).isValid());
    EXPECT_FALSE(m->flags(m->index(0, 1)) & Qt::ItemIsSelectable);
    EXPECT_FALSE(m->flags(m->index(1, 1)) & Qt::ItemIsEditable);
}

} // namespace
