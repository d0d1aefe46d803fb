#include "screen/FlexGridModel.h"

#include "core/RuntimeError.h"

#include <QApplication>
#include <QPalette>

#include <algorithm>

namespace palletry {

FlexGridModel::FlexGridModel(QObject* parent)
    : QAbstractTableModel(parent)
    , m_cells(size_t(m_rows) * size_t(m_cols))
{
}

FlexGridModel::~FlexGridModel() = default;

void FlexGridModel::setRows(int rows)
{
    rows = std::max(FixedRows, rows);
    if (rows == m_rows)
        return;
    if (rows < m_rows) {
        beginRemoveRows(QModelIndex(), rows, m_rows - 1);
        m_cells.resize(size_t(rows) * size_t(m_cols));
        m_rows = rows;
        endRemoveRows();
    } else {
        beginInsertRows(QModelIndex(), m_rows, rows - 1);
        m_cells.resize(size_t(rows) * size_t(m_cols));
        m_rows = rows;
        endInsertRows();
    }
}

void FlexGridModel::setCols(int cols)
{
    cols = std::max(FixedCols, cols);
    if (cols == m_cols)
        return;
    std::vector<QString> cells(size_t(m_rows) * size_t(cols));
    const int kept = std::min(cols, m_cols);
    for (int r = 0; r < m_rows; ++r) {
        for (int c = 0; c < kept; ++c)
            cells[size_t(r) * cols + c] = std::move(m_cells[size_t(r) * m_cols + c]);
    }
    if (cols < m_cols)
        beginRemoveColumns(QModelIndex(), cols, m_cols - 1);
    else
        beginInsertColumns(QModelIndex(), m_cols, cols - 1);
    const bool removing = cols < m_cols;
    m_cells.swap(cells);
    m_cols = cols;
    if (removing)
        endRemoveColumns();
    else
        endInsertColumns();
}

QString FlexGridModel::text(int row, int col) const
{
    if (row < 0 || row >= m_rows || col < 0 || col >= m_cols)
        throw RuntimeError(RuntimeErrorCode::SubscriptOutOfRange);
    return m_cells[size_t(row) * m_cols + col];
}

void FlexGridModel::setText(int row, int col, const QString& text)
{
    if (row < 0 || row >= m_rows || col < 0 || col >= m_cols)
        throw RuntimeError(RuntimeErrorCode::SubscriptOutOfRange);
    m_cells[size_t(row) * m_cols + col] = text;
    const QModelIndex changed = index(row, col);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
}

void FlexGridModel::clearCells()
{
    for (QString& cell : m_cells)
        cell.clear();
    emit dataChanged(index(0, 0), index(m_rows - 1, m_cols - 1), {Qt::DisplayRole});
}

int FlexGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int FlexGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_cols;
}

QVariant FlexGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows || index.column() >= m_cols)
        return QVariant();
    const bool fixed = isFixed(index.row(), index.column());
    switch (role) {
    case Qt::DisplayRole:
        return m_cells[size_t(index.row()) * m_cols + index.column()];
    case Qt::TextAlignmentRole:
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::BackgroundRole:
        // Heading cells look like buttons, as a grid's fixed cells do.
        return fixed ? QVariant(QApplication::palette().button()) : QVariant();
    case Qt::ForegroundRole:
        return fixed ? QVariant(QApplication::palette().buttonText()) : QVariant();
    default:
        return QVariant();
    }
}

Qt::ItemFlags FlexGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (isFixed(index.row(), index.column()))
        return Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

} // namespace palletry
