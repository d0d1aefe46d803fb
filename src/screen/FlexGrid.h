#pragma once

#include "screen/FlexGridModel.h"

#include <QPersistentModelIndex>
#include <QTableView>

namespace palletry {

/**
 * A grid of text cells whose first row and first column are fixed heading
 * cells, drawn by the grid itself (Qt's header views stay hidden). Not
 * editable in place.
 *
 * The grid always has a current cell, its cursor: it starts at (1, 1), moves
 * where the clerk clicks or steers it with keys (a heading cell never takes
 * it; a click on one leaves it), stays where it
 * is when cells are refilled, and moves up to the last row (or left to the last
 * column) when the grid shrinks below it. A grid cut back to its heading row
 * (or column) that gains rows (columns) again has its cursor at (1, 1) again. Rows and columns are 0-based, the
 * heading cells included; a cell outside the grid raises SubscriptOutOfRange.
 */
class FlexGrid : public QTableView
{
    Q_OBJECT

public:
    explicit FlexGrid(QWidget* parent = nullptr);
    ~FlexGrid() override;

    FlexGridModel* gridModel() const { return m_model; }

    int rows() const;
    void setRows(int rows);
    int cols() const;
    void setCols(int cols);
    /// Width of @p col in twips; 0 leaves the column without width.
    void setColWidthTwips(int col, int twips);
    int colWidthTwips(int col) const;

    QString text(int row, int col) const;
    void setText(int row, int col, const QString& text);
    /// Empties every cell; row and column counts stay.
    void clearCells();

    /// The cursor.
    int row() const { return m_row; }
    int col() const { return m_col; }
    void setCurrentCell(int row, int col);

    /**
     * What "Copy" and Ctrl+C put on the clipboard: every row, the heading row first,
     * of the columns shown, as tab-separated text (TableCopy). The cursor marks the
     * line being worked on, not a choice of lines, so all of them are copied.
     */
    QString tabSeparatedText() const;

signals:
    /// A mouse click on a cell, or Space; the cursor is already where the click put it.
    void cellClicked(int row, int col);
    /**
     * The clerk moved the cursor to another row by keys, or by dragging the pointer
     * to a row it was not pressed on; never for the program's own moves.
     */
    void cursorMoved(int row, int col);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showCursor();

    FlexGridModel* m_model;
    int m_row = 1;
    int m_col = 1;
    bool m_movingCursor = false;
    bool m_pointerDown = false;
    bool m_movedByPointer = false; ///< to another row while the pointer was down
    bool m_clickSeen = false;
    QPersistentModelIndex m_headingPress;
};

} // namespace palletry
