#include "screen/ListView.h"

#include <gtest/gtest.h>

#include <functional>

using palletry::ListColumn;
using palletry::ListView;

namespace {

QVector<ListColumn> threeColumns()
{
    return {{"OrderID", 1200, Qt::AlignLeft}, {"# Cartons", 950, Qt::AlignRight}, {"Center", 2000, Qt::AlignLeft}};
}

// What the model shows, row by row, all columns joined by "|".
QStringList modelRows(const ListView& list)
{
    QStringList out;
    const QAbstractItemModel* m = list.model();
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < m->columnCount(); ++c)
            cells << m->index(r, c).data(Qt::DisplayRole).toString();
        out << cells.join('|');
    }
    return out;
}

struct ListViewTest : ::testing::Test
{
    ListView list;
    void SetUp() override
    {
        list.setColumns(threeColumns());
        list.resize(400, 300);
    }
};

TEST_F(ListViewTest, RowsKeepTextOrderCaseInsensitiveAndStable)
{
    EXPECT_EQ(list.sortColumn(), 0);
    EXPECT_EQ(list.sortOrder(), Qt::AscendingOrder);
    EXPECT_EQ(list.addRow({"9", "a"}), 1);
    EXPECT_EQ(list.addRow({"10", "b"}), 1); // compared as text: "10" before "9"
    EXPECT_EQ(list.addRow({"abc", "first"}), 3);
    EXPECT_EQ(list.addRow({"ABC", "second"}), 4); // equal without case: after the earlier one
    EXPECT_EQ(list.addRow({"Abd", "c"}), 5);
    EXPECT_EQ(list.addRow({"aBc", "third"}), 5);
    EXPECT_EQ(modelRows(list),
              QStringList({"10|b|", "9|a|", "abc|first|", "ABC|second|", "aBc|third|", "Abd|c|"}));
    list.setSort(0, Qt::DescendingOrder);
    // Descending reverses the keys, but equal keys still keep their adding order.
    EXPECT_EQ(modelRows(list), QStringList({"Abd|c|", "abc|first|", "ABC|second|", "aBc|third|", "9|a|", "10|b|"}));
    EXPECT_EQ(list.addRow({"ABC", "fourth"}), 5);
}

TEST_F(ListViewTest, RowsPreparedAsideStandAsTheListSortsThemWithTheFirstReadCurrent)
{
    // Read in order (turned round for descending, equal keys kept in reading order) or not.
    const std::vector<QStringList> inOrder{{"a", "1"}, {"B", "2"}, {"b", "3"}, {"c", "4"}, {"äa", "5"}, {"Äb", "6"}};
    const std::vector<QStringList> shuffled{{"b", "1"}, {"Äb", "2"}, {"c", "3"}, {"B", "4"}, {"äa", "5"}, {"a", "6"}};
    for (const auto& rows : {inOrder, shuffled}) {
        for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
            ListView oneByOne;
            oneByOne.setColumns(threeColumns());
            oneByOne.setSort(0, order);
            for (const QStringList& row : rows)
                oneByOne.addRow(row);
            list.adoptRows(palletry::ListModel::prepare(rows, 0, order));
            EXPECT_EQ(modelRows(list), modelRows(oneByOne));
            EXPECT_EQ(list.sortOrder(), order);
            EXPECT_EQ(list.text(list.currentRow()), rows.front().front());
            // The rows' own keys place a row added later as they placed the rows read, after equal keys.
            EXPECT_EQ(list.addRow({"ÄA", "7"}), oneByOne.addRow({"ÄA", "7"}));
            EXPECT_EQ(list.addRow({"b", "8"}), oneByOne.addRow({"b", "8"}));
            // Turned round, equal keys keep their adding order.
            const Qt::SortOrder other = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
            list.setSort(0, other);
            oneByOne.setSort(0, other);
            EXPECT_EQ(modelRows(list), modelRows(oneByOne));
        }
    }
}

TEST_F(ListViewTest, SelectionAndCurrentRowFollowTheirRowsAcrossSorts)
{
    list.setMultiSelect(true);
    EXPECT_EQ(list.currentRow(), 0);
    list.addRow({"m", "1"});
    EXPECT_EQ(list.currentRow(), 1); // the first row added is current
    EXPECT_TRUE(list.isSelected(1));
    list.addRow({"a", "3"});
    list.addRow({"z", "2"});
    EXPECT_EQ(list.text(list.currentRow()), "m");
    list.setSelected(list.findText("m"), false);
    list.setSelected(list.findText("a"), true);
    list.setSelected(list.findText("z"), true);
    list.setCurrentRow(list.findText("z"));
    list.setSort(1, Qt::DescendingOrder);
    EXPECT_EQ(modelRows(list), QStringList({"a|3|", "z|2|", "m|1|"}));
    EXPECT_EQ(list.selectedRows(), (std::vector<int>{1, 2}));
    EXPECT_EQ(list.currentRow(), 2);
    list.removeRow(2); // the current row goes: the list still has one
    EXPECT_EQ(modelRows(list), QStringList({"a|3|", "m|1|"}));
    EXPECT_NE(list.currentRow(), 0);
    list.clear();
    EXPECT_EQ(list.currentRow(), 0);
}

TEST_F(ListViewTest, BulkFillEqualsRowByRowFill)
{
    std::vector<QStringList> rows;
    for (int i = 0; i < 3000; ++i)
        rows.push_back({QString::number((i * 7919) % 1000), QString::number(i % 13), i % 2 ? "Even" : "even"});
    ListView single;
    single.setColumns(threeColumns());
    single.setSort(2, Qt::DescendingOrder);
    list.setSort(2, Qt::DescendingOrder);
    list.addRow({"already here", "x", "even"});
    single.addRow({"already here", "x", "even"});
    for (const QStringList& row : rows)
        single.addRow(row);
    list.addRows(rows);
    EXPECT_EQ(modelRows(list), modelRows(single));
    EXPECT_EQ(list.text(list.currentRow()), "already here");
    ListView empty;
    empty.setColumns(threeColumns());
    empty.addRows({{"c"}, {"b"}, {"a"}}); // the opposite of the order shown
    EXPECT_EQ(modelRows(empty), QStringList({"a||", "b||", "c||"}));
    EXPECT_EQ(empty.text(empty.currentRow()), "c"); // first row given, wherever it sorts
}

TEST_F(ListViewTest, FindGivesTheFirstRowShownAfterEveryChange)
{
    // Each step changes the list, then finds twice: the second find is answered from
    // the index of the unchanged list, which must have followed the change.
    const auto find = [this](const QString& text) {
        const int first = list.findText(text);
        EXPECT_EQ(list.findText(text), first) << text.toStdString();
        return first;
    };
    list.addRows({{"b", "2"}, {"K", "1"}, {"a", "3"}});
    EXPECT_EQ(find("B"), 2);
    const QString kelvin = QStringLiteral("\u212A"); // folds onto "k"
    const struct
    {
        std::function<void()> change;
        QString text;
        int pos;
    } steps[] = {
        {[&] { list.removeRow(1); }, "b", 1},                 // b K
        {[&] { list.addRow({"B", "0"}); }, "k", 3},           // b B K
        {[&] { list.setSort(1, Qt::AscendingOrder); }, "k", 2}, // B K b
        {[&] { list.setSubItem(2, 1, "5"); }, "k", 3},        // B b K
        {[&] { list.addRow({kelvin, "0"}); }, "k", 2},        // B Kelvin b K: beyond ASCII, yet first
        {[&] { list.setSort(0, Qt::DescendingOrder); }, "k", 1}, // K Kelvin b B
        {[&] { list.clear(); }, "k", 0},
        {[&] { list.addRows({{"k"}, {"a"}}); }, "K", 1},      // k a
        {[&] { list.addRows({{"z"}}); }, "k", 2},             // z k a
        {[&] { list.removeRows({1, 3}); }, "k", 1},           // k
    };
    for (const auto& step : steps) {
        step.change();
        EXPECT_EQ(find(step.text), step.pos) << modelRows(list).join(' ').toStdString();
    }
}

} // namespace
