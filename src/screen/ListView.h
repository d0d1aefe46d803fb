#pragma once

#include "screen/ListModel.h"

#include <QTreeView>

#include <vector>

namespace palletry {

/**
 * A list view in report form: one line per row, one column per header.
 *
 * Rows are addressed by their 1-based position in the current display order.
 * Columns are 0-based as in the model: column 0 is the row text, column n is
 * sub-item n. A position outside 1..count() raises SubscriptOutOfRange.
 *
 * The rows always stay ordered by the sort column and direction (at start
 * ascending by row text). A click on a column header only reports the click
 * (columnHeaderClicked); whoever handles it decides how to re-sort.
 *
 * Its context menu holds "Copy" (also Ctrl+C); entries added with addAction()
 * join it.
 *
 * While the list has rows it has a current row (the view's currentIndex()):
 * the first row added becomes current and selected, a click moves it, and it
 * stays with its row when the list re-sorts.
 *
 * Keys do what the pointer does: Space on the current row highlights it and is
 * a click on it (rowClicked); with setEnterOpensRow(), Enter (Return or keypad
 * Enter) is a click followed by a double click on it, as a double click begins
 * with a click. Moving the current row alone clicks nothing.
 */
class ListView : public QTreeView
{
    Q_OBJECT

public:
    explicit ListView(QWidget* parent = nullptr);
    ~ListView() override;

    ListModel* listModel() const { return m_model; }

    /// Columns with their headers, widths (twips) and alignments.
    void setColumns(const QVector<ListColumn>& columns);
    /// The heading of 0-based @p column (another language, say); nothing else changes.
    void setHeading(int column, const QString& heading);
    /// Width of 0-based @p column in twips: 0 hides it, more shows it.
    void setColumnWidthTwips(int column, int twips);
    int columnWidthTwips(int column) const;

    /// Several rows selectable at once (extended selection) or one at a time.
    void setMultiSelect(bool multi);

    /**
     * Whether the first row to arrive in an empty list is highlighted as well as
     * made current (on by default). A list whose highlight chooses what a button
     * deletes turns it off, so that only the clerk's own click highlights a row.
     */
    void setHighlightsFirstRow(bool on) { m_highlightsFirstRow = on; }
    bool isMultiSelect() const;

    /**
     * Whether Enter clicks and double-clicks the current row (off by default). When
     * on, the list keeps every Enter, row or none, so it never reaches a dialog's
     * default button; when off, Enter goes on to the list's parents as usual.
     */
    void setEnterOpensRow(bool on) { m_enterOpensRow = on; }

    int count() const;
    void clear();
    /// clear(), handing the rows over to be let go elsewhere (see ListModel::takeAll).
    ListModel::Prepared takeAll();
    /// Adds a row (text, then sub-items); returns its position in the sort order.
    int addRow(const QStringList& cells);
    /// Adds many rows at once: one model notification and one sort.
    void addRows(std::vector<QStringList> rows);
    /// As addRows(), with the keys of this list's sort column already known (see ListModel::addRows).
    void addRows(std::vector<QStringList> rows, std::vector<QString> keys);
    /// Replaces the rows and the sort by rows prepared away from the screen (ListModel::prepare), in one move.
    void adoptRows(ListModel::Prepared prepared);
    /// Takes the rows at @p positions (1-based, no duplicates) out of the list, in the order given,
    /// with their texts and sort keys, for another list to add.
    ListModel::Taken takeRows(std::vector<int> positions);
    void removeRow(int pos);
    /// Removes the rows at @p positions (1-based, any order) in as few notifications as they allow.
    void removeRows(std::vector<int> positions);

    QString text(int pos) const;
    /// Sub-item @p n of the row; empty when the row has none.
    QString subItem(int pos, int n) const;
    void setSubItem(int pos, int n, const QString& text);

    bool isSelected(int pos) const;
    void setSelected(int pos, bool selected);

    /// Positions of the highlighted rows, in display order.
    std::vector<int> selectedRows() const;

    /// Position of the current row; 0 when the list has none.
    int currentRow() const;
    /// Makes the row current without changing any selected flag.
    void setCurrentRow(int pos);
    void ensureRowVisible(int pos);

    /// First position whose text equals @p text as a whole, case-insensitive; 0 when none.
    int findText(const QString& text) const;

    int sortColumn() const;
    Qt::SortOrder sortOrder() const;
    void setSort(int column, Qt::SortOrder order);

    /**
     * What "Copy" and Ctrl+C put on the clipboard: the headings of the columns shown,
     * then the highlighted rows (every row when none is), in display order, as
     * tab-separated text (TableCopy).
     */
    QString tabSeparatedText() const;

signals:
    void rowClicked(int pos);
    void rowDoubleClicked(int pos);
    /// A column header was clicked; @p headerIndex is 1-based.
    void columnHeaderClicked(int headerIndex);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    int rowIndex(int pos) const;
    void takeCurrentIfNone(int row);

    ListModel* m_model;
    bool m_highlightsFirstRow = true;
    bool m_enterOpensRow = false;
};

} // namespace palletry
