#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QAbstractItemView;

namespace palletry {

/**
 * A list's or grid's rows on the clipboard as tab-separated text, which every
 * spreadsheet pastes as columns.
 */
class TableCopy
{
    Q_DECLARE_TR_FUNCTIONS(TableCopy)

public:
    /**
     * One line per row, its cells joined by tabs, each line ended by "\n". A tab or
     * line break inside a cell becomes a space (it would split the cell), and a cell
     * a spreadsheet would read as a formula is kept as text (sheetCellText).
     */
    static QString tabSeparated(const std::vector<QStringList>& rows);

    /**
     * Gives @p view a context-menu entry "Copy" and Ctrl+C, both putting @p text()
     * on the clipboard. The view's context menu lists its actions, so more entries
     * are added to it with QWidget::addAction.
     */
    static void install(QAbstractItemView* view, std::function<QString()> text);
};

} // namespace palletry
