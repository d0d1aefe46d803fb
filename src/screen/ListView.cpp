#include "screen/ListView.h"

#include "core/RuntimeError.h"
#include "screen/TableCopy.h"
#include "screen/Twips.h"

#include <QHeaderView>
#include <QKeyEvent>

#include <algorithm>

namespace palletry {

ListView::ListView(QWidget* parent)
    : QTreeView(parent)
    , m_model(new ListModel(this))
{
    setModel(m_model);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Header clicks are reported, never acted on here: the control's handlers sort.
    setSortingEnabled(false);
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    header()->setMinimumSectionSize(0);

    connect(header(), &QHeaderView::sectionClicked, this,
            [this](int logical) { emit columnHeaderClicked(logical + 1); });
    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { emit rowClicked(index.row() + 1); });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { emit rowDoubleClicked(index.row() + 1); });
    TableCopy::install(this, [this] { return tabSeparatedText(); });
}

ListView::~ListView() = default;

void ListView::setColumns(const QVector<ListColumn>& columns)
{
    m_model->setColumns(columns);
    for (int column = 0; column < columns.size(); ++column)
        setColumnWidthTwips(column, columns[column].widthTwips);
}

void ListView::setHeading(int column, const QString& heading)
{
    m_model->setHeader(column, heading);
}

void ListView::setColumnWidthTwips(int column, int twips)
{
    if (column < 0 || column >= m_model->columnCount())
        throw RuntimeError(RuntimeErrorCode::SubscriptOutOfRange);
    m_model->setColumnWidthTwips(column, twips);
    if (twips <= 0) {
        setColumnHidden(column, true);
    } else {
        setColumnHidden(column, false);
        setColumnWidth(column, twipsToPixels(twips));
    }
}

int ListView::columnWidthTwips(int column) const
{
    return m_model->columns().value(column).widthTwips;
}

void ListView::setMultiSelect(bool multi)
{
    setSelectionMode(multi ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

bool ListView::isMultiSelect() const
{
    return selectionMode() == QAbstractItemView::ExtendedSelection;
}

void ListView::keyPressEvent(QKeyEvent* event)
{
    const bool enter = (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
                       && !(event->modifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier));
    if (enter && m_enterOpensRow) {
        event->accept();
        if (const int pos = currentRow()) {
            emit rowClicked(pos);
            emit rowDoubleClicked(pos);
        }
        return;
    }
    QTreeView::keyPressEvent(event); // Space highlights the current row, as a click does
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier)
        if (const int pos = currentRow())
            emit rowClicked(pos);
}

int ListView::count() const
{
    return m_model->rowCount();
}

void ListView::clear()
{
    m_model->clear();
}

ListModel::Prepared ListView::takeAll()
{
    return m_model->takeAll();
}

void ListView::takeCurrentIfNone(int row)
{
    if (currentIndex().isValid() || row < 0)
        return;
    // As the clerk knows it: the first row that arrives is the current one, and
    // highlighted too unless this list keeps its highlight for the clerk's choice.
    selectionModel()->setCurrentIndex(m_model->index(row, 0),
                                      m_highlightsFirstRow
                                          ? QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows
                                          : QItemSelectionModel::NoUpdate);
}

int ListView::addRow(const QStringList& cells)
{
    const int row = m_model->addRow(cells);
    takeCurrentIfNone(row);
    return row + 1;
}

void ListView::addRows(std::vector<QStringList> rows)
{
    takeCurrentIfNone(m_model->addRows(std::move(rows)));
}

void ListView::addRows(std::vector<QStringList> rows, std::vector<QString> keys)
{
    takeCurrentIfNone(m_model->addRows(std::move(rows), std::move(keys)));
}

void ListView::adoptRows(ListModel::Prepared prepared)
{
    takeCurrentIfNone(m_model->adopt(std::move(prepared)));
}

ListModel::Taken ListView::takeRows(std::vector<int> positions)
{
    for (int& pos : positions)
        pos = rowIndex(pos);
    return m_model->takeRows(positions);
}

void ListView::removeRow(int pos)
{
    m_model->removeRowAt(rowIndex(pos));
}

void ListView::removeRows(std::vector<int> positions)
{
    for (int& pos : positions)
        pos = rowIndex(pos);
    m_model->removeRowsAt(std::move(positions));
}

std::vector<int> ListView::selectedRows() const
{
    std::vector<int> positions;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        positions.push_back(index.row() + 1);
    std::sort(positions.begin(), positions.end());
    return positions;
}

int ListView::rowIndex(int pos) const
{
    if (pos < 1 || pos > count())
        throw RuntimeError(RuntimeErrorCode::SubscriptOutOfRange);
    return pos - 1;
}

QString ListView::text(int pos) const
{
    return m_model->cell(rowIndex(pos), 0);
}

QString ListView::subItem(int pos, int n) const
{
    const int row = rowIndex(pos);
    if (n < 1)
        throw RuntimeError(RuntimeErrorCode::SubscriptOutOfRange);
    return m_model->cell(row, n);
}

void ListView::setSubItem(int pos, int n, const QString& text)
{
    const int row = rowIndex(pos);
    if (n < 1)
        throw RuntimeError(RuntimeErrorCode::SubscriptOutOfRange);
    m_model->setCell(row, n, text);
}

bool ListView::isSelected(int pos) const
{
    return selectionModel()->isRowSelected(rowIndex(pos), QModelIndex());
}

void ListView::setSelected(int pos, bool selected)
{
    const QModelIndex index = m_model->index(rowIndex(pos), 0);
    QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::Rows;
    if (!selected)
        flags |= QItemSelectionModel::Deselect;
    else if (isMultiSelect())
        flags |= QItemSelectionModel::Select;
    else
        flags |= QItemSelectionModel::ClearAndSelect;
    selectionModel()->select(index, flags);
}

int ListView::currentRow() const
{
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.row() + 1 : 0;
}

void ListView::setCurrentRow(int pos)
{
    selectionModel()->setCurrentIndex(m_model->index(rowIndex(pos), 0), QItemSelectionModel::NoUpdate);
}

void ListView::ensureRowVisible(int pos)
{
    scrollTo(m_model->index(rowIndex(pos), 0), QAbstractItemView::EnsureVisible);
}

int ListView::findText(const QString& text) const
{
    return m_model->findText(text) + 1;
}

int ListView::sortColumn() const
{
    return m_model->sortColumn();
}

Qt::SortOrder ListView::sortOrder() const
{
    return m_model->sortOrder();
}

void ListView::setSort(int column, Qt::SortOrder order)
{
    m_model->setSort(column, order);
}

QString ListView::tabSeparatedText() const
{
    std::vector<int> columns;
    for (int visual = 0; visual < header()->count(); ++visual)
        if (const int logical = header()->logicalIndex(visual); !isColumnHidden(logical))
            columns.push_back(logical);
    std::vector<int> positions = selectedRows();
    if (positions.empty())
        for (int pos = 1; pos <= count(); ++pos)
            positions.push_back(pos);

    std::vector<QStringList> rows;
    rows.reserve(positions.size() + 1);
    rows.emplace_back();
    for (int column : columns)
        rows.back() << m_model->columns().value(column).header;
    for (int pos : positions) {
        rows.emplace_back();
        for (int column : columns)
            rows.back() << m_model->cell(pos - 1, column);
    }
    return TableCopy::tabSeparated(rows);
}

} // namespace palletry
