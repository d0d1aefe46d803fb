#include "ClerkActions.h"

#include "screen/FlexGrid.h"
#include "screen/ListView.h"

#include <QLineEdit>
#include <QTest>

namespace palletry::test::ClerkActions {

namespace {
QModelIndex indexOf(ListView& list, int pos)
{
    const QModelIndex index = list.model()->index(pos - 1, 0);
    list.scrollTo(index);
    return index;
}
} // namespace

void clickRow(ListView& list, int pos, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex index = indexOf(list, pos);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, modifiers, list.visualRect(index).center());
}

void doubleClickRow(ListView& list, int pos)
{
    const QModelIndex index = indexOf(list, pos);
    const QPoint at = list.visualRect(index).center();
    // A double click begins with a click, as with a real mouse.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

int rowOf(const ListView& list, const QString& text)
{
    for (int pos = 1; pos <= list.count(); ++pos)
        if (list.text(pos) == text)
            return pos;
    return 0;
}

void clickCell(FlexGrid& grid, int row, int col)
{
    const QModelIndex index = grid.model()->index(row, col);
    grid.scrollTo(index);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, grid.visualRect(index).center());
}

void click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
}

void type(QLineEdit* field, const QString& text)
{
    field->setFocus();
    field->selectAll();
    if (text.isEmpty())
        QTest::keyClick(field, Qt::Key_Backspace);
    else
        QTest::keyClicks(field, text);
}

} // namespace palletry::test::ClerkActions
