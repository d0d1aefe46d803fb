#include "screen/FlexGrid.h"

#include "core/RuntimeError.h"
#include "screen/TableCopy.h"
#include "screen/Twips.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>
#include <utility>

namespace palletry {

namespace {
constexpr int DefaultRowHeightTwips = 240;
constexpr int DefaultColWidthTwips = 960;
} // namespace

FlexGrid::FlexGrid(QWidget* parent)
    : QTableView(parent)
    , m_model(new FlexGridModel(this))
{
    setModel(m_model);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setDefaultSectionSize(twipsToPixels(DefaultColWidthTwips));
    verticalHeader()->setDefaultSectionSize(twipsToPixels(DefaultRowHeightTwips));
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(false);
    setWordWrap(false);
    showCursor();

    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex&) {
        m_clickSeen = true;
        emit cellClicked(m_row, m_col);
    });
    TableCopy::install(this, [this] { return tabSeparatedText(); });
}

FlexGrid::~FlexGrid() = default;

int FlexGrid::rows() const
{
    return m_model->rows();
}

void FlexGrid::setRows(int rows)
{
    const bool hadLines = m_model->rows() > FlexGridModel::FixedRows;
    m_movingCursor = true;
    m_model->setRows(rows);
    m_movingCursor = false;
    m_row = std::min(m_row, m_model->rows() - 1);
    // A grid that regains rows starts again at its first cell: the cursor must never rest
    // on the headings while there are lines to take up.
    if (!hadLines && m_model->rows() > FlexGridModel::FixedRows) {
        m_row = FlexGridModel::FixedRows;
        m_col = std::min(FlexGridModel::FixedCols, m_model->cols() - 1);
    }
    showCursor();
}

int FlexGrid::cols() const
{
    return m_model->cols();
}

void FlexGrid::setCols(int cols)
{
    const bool hadData = m_model->cols() > FlexGridModel::FixedCols;
    m_movingCursor = true;
    m_model->setCols(cols);
    m_movingCursor = false;
    m_col = std::min(m_col, m_model->cols() - 1);
    if (!hadData && m_model->cols() > FlexGridModel::FixedCols)
        m_col = FlexGridModel::FixedCols;
    showCursor();
}

void FlexGrid::setColWidthTwips(int col, int twips)
{
    if (col < 0 || col >= cols())
        throw RuntimeError(RuntimeErrorCode::SubscriptOutOfRange);
    setColumnWidth(col, twipsToPixels(std::max(0, twips)));
}

int FlexGrid::colWidthTwips(int col) const
{
    return columnWidth(col) * TwipsPerPixel;
}

QString FlexGrid::text(int row, int col) const
{
    return m_model->text(row, col);
}

void FlexGrid::setText(int row, int col, const QString& text)
{
    m_model->setText(row, col, text);
}

void FlexGrid::clearCells()
{
    m_model->clearCells();
}

void FlexGrid::setCurrentCell(int row, int col)
{
    if (row < 0 || row >= rows() || col < 0 || col >= cols())
        throw RuntimeError(RuntimeErrorCode::SubscriptOutOfRange);
    m_row = row;
    m_col = col;
    showCursor();
}

QString FlexGrid::tabSeparatedText() const
{
    std::vector<QStringList> lines(m_model->rows());
    for (int col = 0; col < m_model->cols(); ++col) {
        if (isColumnHidden(col) || columnWidth(col) == 0)
            continue;
        for (int row = 0; row < m_model->rows(); ++row)
            lines[row] << m_model->text(row, col);
    }
    return TableCopy::tabSeparated(lines);
}

void FlexGrid::showCursor()
{
    // The view's current index mirrors the cursor, so it is drawn where it is.
    m_movingCursor = true;
    selectionModel()->setCurrentIndex(m_model->index(m_row, m_col), QItemSelectionModel::ClearAndSelect);
    m_movingCursor = false;
}

void FlexGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    // Keyboard and mouse moves land here; model changes and our own moves do not count.
    if (m_movingCursor || !current.isValid() || FlexGridModel::isFixed(current.row(), current.column()))
        return;
    const bool otherRow = current.row() != m_row;
    m_row = current.row();
    m_col = current.column();
    // A line moved to by keys is the line taken up at once: the panel never shows another
    // than the cursor's. Under the pointer, the click on release tells it.
    if (!otherRow)
        return;
    if (m_pointerDown)
        m_movedByPointer = true;
    else
        emit cursorMoved(m_row, m_col);
}

void FlexGrid::keyPressEvent(QKeyEvent* event)
{
    m_pointerDown = false; // a release the control kept from the grid must not hold keys back
    QTableView::keyPressEvent(event);
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier)
        emit cellClicked(m_row, m_col);
}

QModelIndex FlexGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex next = QTableView::moveCursor(cursorAction, modifiers);
    if (next.isValid() && FlexGridModel::isFixed(next.row(), next.column()))
        return currentIndex();
    return next;
}

void FlexGrid::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && FlexGridModel::isFixed(index.row(), index.column())) {
        // A heading cell is clicked but never becomes the cursor.
        m_headingPress = index;
        event->accept();
        return;
    }
    m_headingPress = QPersistentModelIndex();
    m_pointerDown = true;
    QTableView::mousePressEvent(event);
}

void FlexGrid::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_headingPress.isValid()) {
        const bool sameCell = indexAt(event->position().toPoint()) == m_headingPress;
        const int pressedRow = m_headingPress.row();
        m_headingPress = QPersistentModelIndex();
        event->accept();
        if (sameCell && event->button() == Qt::LeftButton) {
            // A line's own "Row" number takes up that line; the heading row moves nothing.
            if (pressedRow >= FlexGridModel::FixedRows) {
                m_row = pressedRow;
                m_col = std::min(FlexGridModel::FixedCols, m_model->cols() - 1);
                showCursor();
            }
            emit cellClicked(m_row, m_col);
        }
        return;
    }
    m_pointerDown = false;
    m_clickSeen = false;
    const bool moved = std::exchange(m_movedByPointer, false);
    QTableView::mouseReleaseEvent(event);
    // Dragged off the cell it was pressed on: no click comes, yet the cursor is on another line.
    if (moved && !m_clickSeen)
        emit cursorMoved(m_row, m_col);
}

} // namespace palletry
