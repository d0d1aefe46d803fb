#pragma once

#include <QString>
#include <Qt>

class QLineEdit;
class QWidget;

namespace palletry {
class FlexGrid;
class ListView;
}

namespace palletry::test {

/// What a clerk does with the mouse and keyboard, through QTest on the real widgets.
namespace ClerkActions {

/// A left click on row @p pos of @p list (scrolled into view first).
void clickRow(ListView& list, int pos, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void doubleClickRow(ListView& list, int pos);
/// The position of the row whose text is @p text (exactly); 0 when none.
int rowOf(const ListView& list, const QString& text);
/// A left click on cell (@p row, @p col) of @p grid.
void clickCell(FlexGrid& grid, int row, int col);
/// A left click on a button (or any widget's centre).
void click(QWidget* widget);
/// Replaces the text of @p field by typing: select all, then the keys of @p text (backspace when empty).
void type(QLineEdit* field, const QString& text);

} // namespace ClerkActions
} // namespace palletry::test
