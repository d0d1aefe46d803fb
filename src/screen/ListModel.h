#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

#include <vector>

namespace palletry {

/// One column of a list in report form.
struct ListColumn
{
    QString header;
    int widthTwips = 0;                       ///< 0 hides the column; its values stay readable
    Qt::Alignment alignment = Qt::AlignLeft;  ///< horizontal alignment of header and cells
};

/**
 * Rows of a list in report form, kept in sort order.
 *
 * Each row is a text followed by sub-items (cells 0..n). Rows live in one
 * vector in the order they were added; a separate index gives the display
 * order. The display order always follows the sort column and direction:
 * column texts compared as text, letters without regard to case, equal texts
 * in the order their rows were added (in both directions).
 *
 * Model row r is display position r + 1; model column 0 is the row text,
 * column n is sub-item n.
 */
class ListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ListModel(QObject* parent = nullptr);
    ~ListModel() override;

    void setColumns(const QVector<ListColumn>& columns);
    /// The heading of 0-based @p column; rows, widths and order stay.
    void setHeader(int column, const QString& header);
    const QVector<ListColumn>& columns() const { return m_columns; }
    void setColumnWidthTwips(int column, int twips);

    /// Row index (0-based display order) of a new row; the row takes its place in the sort order.
    int addRow(QStringList cells);
    /// Adds many rows with a single notification and one sort. Returns the
    /// display row of the first of them (-1 when @p rows is empty).
    int addRows(std::vector<QStringList> rows);
    /// As addRows(), with the sort texts already known: @p keys holds, for each row, the key
    /// this list gives its sort column (as another list sorting by the same text gave it).
    int addRows(std::vector<QStringList> rows, std::vector<QString> keys);

    /// One row as the list keeps it.
    struct Row
    {
        QStringList cells;
        /// Case-folded text of the sort column; empty in rows a list took read aside whose
        /// text is ASCII: the key is then that text with its capitals made small, read as it is compared.
        QString key;
        quint64 sequence; ///< when the row was added: keeps equal keys in adding order
    };
    /// Rows read and sorted away from the screen, for a list to take in one move.
    struct Prepared
    {
        std::vector<Row> rows;  ///< in the order they were read, sequences counted from 0
        std::vector<int> order; ///< display row -> row
        int column = 0;
        Qt::SortOrder sortOrder = Qt::AscendingOrder;
    };
    /// @p cells sorted as a list sorting by @p column / @p order shows them. Touches no model: safe on any thread.
    static Prepared prepare(std::vector<QStringList> cells, int column, Qt::SortOrder order);
    /// Replaces every row and the sort by @p prepared, with one reset; returns the display row of its first row (-1: none).
    int adopt(Prepared prepared);

    /// Rows taken out of a list: their cells and the keys of that list's sort column.
    struct Taken
    {
        std::vector<QStringList> cells;
        std::vector<QString> keys;
    };
    /// Takes the display rows @p rows (no duplicates) out of the list, in the order given, without
    /// copying their texts; notifies as removeRowsAt() does, or with one reset when every row goes.
    Taken takeRows(const std::vector<int>& rows);
    void removeRowAt(int row);
    /// Removes the display rows @p rows (any order, no duplicates) with one notification
    /// per run of neighbouring rows.
    void removeRowsAt(std::vector<int> rows);
    void clear();
    /// clear(), handing the rows over instead of letting them go here: a large list's rows take a while to free.
    Prepared takeAll();

    /// Cell @p column of display row @p row; empty when the row has no such cell.
    QString cell(int row, int column) const;
    /// Writes a cell; the row moves to its new place when @p column is the sort column.
    void setCell(int row, int column, const QString& text);

    /// First display row whose text equals @p text as a whole (case-insensitive); -1 when none.
    int findText(const QString& text) const;

    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }
    /// Sets the sort column and direction and re-orders the rows at once.
    void setSort(int column, Qt::SortOrder order);

    /// As a table model's, without the calls through the vtable: the view asks it for every row when it lays out.
    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    void sort(int column, Qt::SortOrder order) override;

private:

    QString keyFor(const QStringList& cells) const;
    static QString keyOf(const QStringList& cells, int column);
    /// keyOf(), or empty where the key is read from the text itself (ASCII).
    static QString keptKeyOf(const QStringList& cells, int column);
    bool before(int storageA, int storageB) const;
    int placeFor(int storage) const;
    void resort();
    void reverseDirection();
    void reorder(bool directionOnly = false);
    /// Both addRows(): moves @p rows in, with their @p keys when given, else keys made here.
    int append(std::vector<QStringList>& rows, std::vector<QString>* keys);
    /// Removes the display rows @p rows (ascending, distinct, in range); @p leaving sees each
    /// row's storage just before it goes.
    template <typename Leaving>
    void removeSorted(const std::vector<int>& rows, Leaving leaving);
    /// Rows, texts or their order changed: the find index no longer holds.
    void rowsChanged() const;
    class Change;
    int scanForText(const QString& text) const;
    void buildFindIndex() const;

    QVector<ListColumn> m_columns;
    std::vector<Row> m_rows;  ///< storage, in no particular order
    std::vector<int> m_order; ///< display row -> index into m_rows
    quint64 m_nextSequence = 0;
    int m_sortColumn = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;

    // Repeated finds in an unchanged list (the clerk searching one PO after another)
    // look the text up instead of walking every row. The index is built on the second
    // find since the last change, so a list that changes between finds never pays for it.
    mutable int m_findsSinceChange = 0;
    mutable bool m_findIndexBuilt = false;
    mutable QHash<QString, int> m_findAscii; ///< ASCII row text in lower case -> its first display row
    mutable std::vector<int> m_findOthers;   ///< display rows whose text is not all ASCII, in display order
};

} // namespace palletry
