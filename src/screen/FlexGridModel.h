#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <vector>

namespace palletry {

/**
 * Cells of a flex grid. Model rows and columns are the grid's own: row 0 and
 * column 0 are the fixed heading cells, so a grid of k data rows has k + 1
 * model rows. Cell texts survive a change of the row or column count for the
 * cells that remain.
 */
class FlexGridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit FlexGridModel(QObject* parent = nullptr);
    ~FlexGridModel() override;

    /// Heading cells: the first row and the first column.
    static constexpr int FixedRows = 1;
    static constexpr int FixedCols = 1;

    /// Sets the number of rows (at least the heading row).
    void setRows(int rows);
    /// Sets the number of columns (at least the heading column).
    void setCols(int cols);
    int rows() const { return m_rows; }
    int cols() const { return m_cols; }

    QString text(int row, int col) const;
    void setText(int row, int col, const QString& text);
    /// Empties every cell; row and column counts stay.
    void clearCells();

    static bool isFixed(int row, int col) { return row < FixedRows || col < FixedCols; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    int m_rows = 2;
    int m_cols = 2;
    std::vector<QString> m_cells; ///< row-major, m_rows * m_cols
};

} // namespace palletry
