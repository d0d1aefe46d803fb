#include "screen/ListModel.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <string_view>

namespace palletry {

namespace {

// One row during a sort. The first four UTF-16 units of the key are packed
// high to low into an integer, so most comparisons are decided without touching
// the key text; the rest of the key lies in one shared buffer, close together.
struct SortEntry
{
    quint64 prefix;
    quint32 offset; ///< of the key in the buffer
    quint32 size;
    quint64 sequence;
    int storage;
};

// Orders by key in the given direction; equal keys always stay in adding order.
template <bool Ascending>
struct EntryBefore
{
    const char16_t* buffer;
    bool operator()(const SortEntry& a, const SortEntry& b) const
    {
        if (a.prefix != b.prefix)
            return Ascending ? a.prefix < b.prefix : b.prefix < a.prefix;
        const std::u16string_view ka(buffer + a.offset, a.size);
        const std::u16string_view kb(buffer + b.offset, b.size);
        const int c = ka.compare(kb);
        if (c != 0)
            return Ascending ? c < 0 : c > 0;
        return a.sequence < b.sequence;
    }
};

quint64 unitsPrefix(std::u16string_view key)
{
    quint64 prefix = 0;
    const size_t n = std::min<size_t>(key.size(), 4);
    for (size_t i = 0; i < n; ++i)
        prefix |= quint64(key[i]) << (48 - 16 * i);
    return prefix;
}

char16_t asciiLowered(char16_t unit)
{
    return char16_t(unit - u'A') < 26 ? char16_t(unit + 32) : unit;
}

// @p text with ASCII capitals made small, in @p lower; false (and @p lower
// untouched) when the text holds anything beyond ASCII. Shares the text when
// there is nothing to lower. Most service values are plain ASCII: those need
// no Unicode tables, and one pass without branches learns both whether the
// text is ASCII and whether it has capitals.
bool asciiLower(const QString& text, QString& lower)
{
    const char16_t* units = reinterpret_cast<const char16_t*>(text.constData());
    const qsizetype size = text.size();
    char16_t all = 0;
    bool upper = false;
    for (qsizetype i = 0; i < size; ++i) {
        all |= units[i];
        upper |= char16_t(units[i] - u'A') < 26;
    }
    if (all >= 0x80)
        return false;
    if (!upper) {
        lower = text;
        return true;
    }
    lower = QString(size, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(lower.data());
    for (qsizetype i = 0; i < size; ++i)
        out[i] = asciiLowered(units[i]);
    return true;
}

// Appends the key ListModel::keyOf() gives @p text to @p buffer, without a QString of its own when the text is ASCII.
void appendKey(std::u16string& buffer, QStringView text)
{
    const char16_t* units = text.utf16();
    const size_t size = size_t(text.size());
    const size_t at = buffer.size();
    buffer.resize(at + size);
    char16_t* out = buffer.data() + at;
    char16_t all = 0;
    for (size_t i = 0; i < size; ++i) {
        all |= units[i];
        out[i] = asciiLowered(units[i]);
    }
    if (all < 0x80)
        return;
    buffer.resize(at);
    const QString folded = text.toString().toCaseFolded();
    buffer.append(reinterpret_cast<const char16_t*>(folded.constData()), size_t(folded.size()));
}

// @p a and @p b compared unit by unit, the capitals of each made small where @p lowerA / @p lowerB says.
int compareUnits(QStringView a, bool lowerA, QStringView b, bool lowerB)
{
    const qsizetype n = std::min(a.size(), b.size());
    const char16_t* x = a.utf16();
    const char16_t* y = b.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        if (x[i] == y[i])
            continue;
        const char16_t u = lowerA ? asciiLowered(x[i]) : x[i];
        const char16_t v = lowerB ? asciiLowered(y[i]) : y[i];
        if (u != v)
            return u < v ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

QStringView cellOf(const QStringList& cells, int column)
{
    return column < cells.size() ? QStringView(cells.at(column)) : QStringView();
}

// The sort keys of two rows by @p column compared unit by unit: < 0, 0 or > 0.
int compareKeys(const ListModel::Row& a, const ListModel::Row& b, int column)
{
    const bool lowerA = a.key.isEmpty();
    const bool lowerB = b.key.isEmpty();
    if (!lowerA && !lowerB)
        return QStringView(a.key).compare(QStringView(b.key), Qt::CaseSensitive);
    return compareUnits(lowerA ? cellOf(a.cells, column) : QStringView(a.key), lowerA,
                        lowerB ? cellOf(b.cells, column) : QStringView(b.key), lowerB);
}

// Whether @p a shows before @p b in a list sorting by @p column in @p order.
bool rowBefore(const ListModel::Row& a, const ListModel::Row& b, int column, Qt::SortOrder order)
{
    // Keys compared unit by unit, then adding order (in both directions).
    const int c = compareKeys(a, b, column);
    if (c != 0)
        return order == Qt::AscendingOrder ? c < 0 : c > 0;
    return a.sequence < b.sequence;
}

// @p row during a sort, its key appended to @p buffer.
SortEntry entryFor(std::u16string& buffer, const ListModel::Row& row, int column, int storage)
{
    const size_t offset = buffer.size();
    if (row.key.isEmpty())
        appendKey(buffer, cellOf(row.cells, column));
    else
        buffer.append(reinterpret_cast<const char16_t*>(row.key.utf16()), size_t(row.key.size()));
    const std::u16string_view key(buffer.data() + offset, buffer.size() - offset);
    return {unitsPrefix(key), quint32(offset), quint32(key.size()), row.sequence, storage};
}

// Turns @p order round, then each run of rows with equal keys back: equal keys stay in adding order.
template <typename SameKey>
void reverseRuns(std::vector<int>& order, SameKey sameKey)
{
    std::reverse(order.begin(), order.end());
    for (auto run = order.begin(); run != order.end();) {
        auto end = std::find_if_not(run + 1, order.end(), [&](int row) { return sameKey(*run, row); });
        std::reverse(run, end);
        run = end;
    }
}

// Puts @p order (rows, found by @p rowOf) into the order of their keys by @p column in
// @p direction, equal keys in adding order.
template <typename RowOf>
void sortByKeys(std::vector<int>& order, int column, Qt::SortOrder direction, RowOf rowOf)
{
    // Rows often arrive in order already (the service lists vendors by name), or in the
    // opposite order: one pass tells, and those are turned round, each run of equal keys back.
    const auto before = [&](int a, int b) { return rowBefore(rowOf(a), rowOf(b), column, direction); };
    if (std::is_sorted(order.begin(), order.end(), before))
        return;
    const auto ascending = [&](int a, int b) { return rowBefore(rowOf(a), rowOf(b), column, Qt::AscendingOrder); };
    if (direction == Qt::DescendingOrder && std::is_sorted(order.begin(), order.end(), ascending)) {
        reverseRuns(order, [&](int a, int b) { return compareKeys(rowOf(a), rowOf(b), column) == 0; });
        return;
    }
    // Else sorted on the keys written straight into one buffer, given its room up front: a
    // large list's would otherwise be copied as it grows.
    size_t units = 0;
    for (const int storage : order) {
        const ListModel::Row& row = rowOf(storage);
        units += size_t(row.key.isEmpty() ? cellOf(row.cells, column).size() : row.key.size());
    }
    std::u16string buffer;
    buffer.reserve(units);
    std::vector<SortEntry> entries;
    entries.reserve(order.size());
    for (const int storage : order)
        entries.push_back(entryFor(buffer, rowOf(storage), column, storage));
    if (direction == Qt::AscendingOrder)
        std::sort(entries.begin(), entries.end(), EntryBefore<true>{buffer.data()});
    else
        std::sort(entries.begin(), entries.end(), EntryBefore<false>{buffer.data()});
    for (size_t i = 0; i < entries.size(); ++i)
        order[i] = entries[i].storage;
}

} // namespace

/// Marks the find index stale before a change and again once it is done, so that
/// a find made from a view's slot in between cannot leave an index of half a change.
class ListModel::Change
{
public:
    explicit Change(const ListModel& model)
        : m_model(model)
    {
        m_model.rowsChanged();
    }
    ~Change() { m_model.rowsChanged(); }
    Change(const Change&) = delete;
    Change& operator=(const Change&) = delete;

private:
    const ListModel& m_model;
};

ListModel::ListModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

ListModel::~ListModel() = default;

void ListModel::setColumns(const QVector<ListColumn>& columns)
{
    beginResetModel();
    m_columns = columns;
    endResetModel();
}

void ListModel::setHeader(int column, const QString& header)
{
    if (column < 0 || column >= m_columns.size())
        return;
    m_columns[column].header = header;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void ListModel::setColumnWidthTwips(int column, int twips)
{
    if (column >= 0 && column < m_columns.size())
        m_columns[column].widthTwips = std::max(0, twips);
}

QString ListModel::keyFor(const QStringList& cells) const
{
    return keyOf(cells, m_sortColumn);
}

QString ListModel::keyOf(const QStringList& cells, int column)
{
    if (column >= cells.size())
        return QString();
    const QString& text = cells.at(column);
    QString key;
    return asciiLower(text, key) ? key : text.toCaseFolded();
}

QString ListModel::keptKeyOf(const QStringList& cells, int column)
{
    const QStringView text = cellOf(cells, column);
    char16_t all = 0;
    for (const QChar unit : text)
        all |= unit.unicode();
    return all < 0x80 ? QString() : text.toString().toCaseFolded();
}

bool ListModel::before(int storageA, int storageB) const
{
    return rowBefore(m_rows[size_t(storageA)], m_rows[size_t(storageB)], m_sortColumn, m_sortOrder);
}

int ListModel::placeFor(int storage) const
{
    const auto it = std::upper_bound(m_order.begin(), m_order.end(), storage,
                                     [this](int a, int b) { return before(a, b); });
    return int(it - m_order.begin());
}

int ListModel::addRow(QStringList cells)
{
    const Change change(*this);
    Row row{std::move(cells), QString(), m_nextSequence++};
    row.key = keyFor(row.cells);
    m_rows.push_back(std::move(row));
    const int storage = int(m_rows.size()) - 1;
    const int place = placeFor(storage);
    beginInsertRows(QModelIndex(), place, place);
    m_order.insert(m_order.begin() + place, storage);
    endInsertRows();
    return place;
}

int ListModel::addRows(std::vector<QStringList> rows)
{
    return append(rows, nullptr);
}

int ListModel::addRows(std::vector<QStringList> rows, std::vector<QString> keys)
{
    return append(rows, keys.size() == rows.size() ? &keys : nullptr);
}

int ListModel::append(std::vector<QStringList>& rows, std::vector<QString>* keys)
{
    if (rows.empty())
        return -1;
    const Change change(*this);
    const int first = int(m_rows.size());
    const int added = int(rows.size());
    const bool wasEmpty = m_order.empty();
    if (wasEmpty)
        beginResetModel();
    else
        beginInsertRows(QModelIndex(), first, first + added - 1);

    m_rows.reserve(m_rows.size() + rows.size());
    m_order.reserve(m_order.size() + rows.size());
    // Into an empty list, rows often come in order (the service lists vendors by
    // name) or in exactly the opposite order (orders moved over from the other
    // list, taken from the bottom up): noticed on the way in, neither needs a sort.
    bool inOrder = true;
    bool reversed = true;
    for (size_t i = 0; i < rows.size(); ++i) {
        m_rows.push_back({std::move(rows[i]), keys ? std::move((*keys)[i]) : QString(), m_nextSequence++});
        if (!keys)
            m_rows.back().key = keyFor(m_rows.back().cells);
        const int storage = int(m_rows.size()) - 1;
        if (wasEmpty && !m_order.empty() && (inOrder || reversed)) {
            const bool after = before(m_order.back(), storage);
            inOrder = inOrder && after;
            reversed = reversed && !after;
        }
        m_order.push_back(storage);
    }

    if (wasEmpty) {
        if (reversed && !inOrder)
            std::reverse(m_order.begin(), m_order.end());
        else if (!inOrder)
            resort();
        endResetModel();
    } else {
        endInsertRows();
        reorder();
    }
    return int(std::find(m_order.begin(), m_order.end(), first) - m_order.begin());
}

ListModel::Prepared ListModel::prepare(std::vector<QStringList> cells, int column, Qt::SortOrder order)
{
    Prepared prepared;
    prepared.column = std::max(0, column);
    prepared.sortOrder = order;
    std::vector<Row>& rows = prepared.rows;
    rows.reserve(cells.size());
    for (QStringList& row : cells) {
        // A large list read aside: its ASCII texts are not held twice.
        QString key = keptKeyOf(row, prepared.column);
        rows.push_back({std::move(row), std::move(key), quint64(rows.size())});
    }
    std::vector<QStringList>().swap(cells);
    prepared.order.resize(rows.size());
    std::iota(prepared.order.begin(), prepared.order.end(), 0);
    sortByKeys(prepared.order, prepared.column, order, [&rows](int row) -> const Row& { return rows[size_t(row)]; });
    return prepared;
}

int ListModel::adopt(Prepared prepared)
{
    const Change change(*this);
    beginResetModel();
    m_sortColumn = prepared.column;
    m_sortOrder = prepared.sortOrder;
    for (Row& row : prepared.rows)
        row.sequence += m_nextSequence;
    m_nextSequence += prepared.rows.size();
    // The old rows are let go after the swap, the model already holding the new ones.
    m_rows.swap(prepared.rows);
    m_order = std::move(prepared.order);
    endResetModel();
    return m_rows.empty() ? -1 : int(std::find(m_order.begin(), m_order.end(), 0) - m_order.begin());
}

void ListModel::removeRowAt(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    const int storage = m_order[row];
    const Change change(*this);
    beginRemoveRows(QModelIndex(), row, row);
    m_order.erase(m_order.begin() + row);
    // Fill the hole in storage with the last row so storage stays dense.
    const int last = int(m_rows.size()) - 1;
    if (storage != last) {
        m_rows[storage] = std::move(m_rows[last]);
        *std::find(m_order.begin(), m_order.end(), last) = storage;
    }
    m_rows.pop_back();
    endRemoveRows();
}

void ListModel::removeRowsAt(std::vector<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(std::remove_if(rows.begin(), rows.end(), [this](int r) { return r < 0 || r >= rowCount(); }),
               rows.end());
    removeSorted(rows, [](int) {});
}

ListModel::Taken ListModel::takeRows(const std::vector<int>& rows)
{
    Taken taken;
    if (rows.empty())
        return taken;
    // The texts move out; the rows' shells go with the removal.
    if (rows.size() == m_order.size()) {
        const Change change(*this);
        beginResetModel();
        taken.cells.reserve(rows.size());
        taken.keys.reserve(rows.size());
        for (const int row : rows) {
            Row& from = m_rows[size_t(m_order[size_t(row)])];
            taken.cells.push_back(std::move(from.cells));
            taken.keys.push_back(std::move(from.key));
        }
        m_rows.clear();
        m_order.clear();
        endResetModel();
        return taken;
    }
    taken.cells.resize(rows.size());
    taken.keys.resize(rows.size());
    std::vector<int> slot(m_order.size(), -1); // display row -> its place in taken
    for (size_t i = 0; i < rows.size(); ++i)
        slot[size_t(rows[i])] = int(i);
    const auto leaving = [&](int row) {
        Row& from = m_rows[size_t(m_order[size_t(row)])];
        taken.cells[size_t(slot[size_t(row)])] = std::move(from.cells);
        taken.keys[size_t(slot[size_t(row)])] = std::move(from.key);
    };
    std::vector<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end());
    removeSorted(sorted, leaving);
    return taken;
}

template <typename Leaving>
void ListModel::removeSorted(const std::vector<int>& rows, Leaving leaving)
{
    if (rows.empty())
        return;
    const Change change(*this);
    std::vector<bool> dead(m_rows.size(), false);
    // From the bottom up, so the display rows of the runs still to go stay where they are.
    for (auto end = rows.end(); end != rows.begin();) {
        auto first = end - 1;
        while (first != rows.begin() && *(first - 1) == *first - 1)
            --first;
        const int top = *first;
        const int bottom = *(end - 1);
        beginRemoveRows(QModelIndex(), top, bottom);
        for (int r = top; r <= bottom; ++r) {
            leaving(r);
            dead[size_t(m_order[r])] = true;
        }
        m_order.erase(m_order.begin() + top, m_order.begin() + bottom + 1);
        endRemoveRows();
        end = first;
    }
    // Compact the storage once; display rows do not change.
    std::vector<int> moved(m_rows.size(), -1);
    int kept = 0;
    for (int storage = 0; storage < int(m_rows.size()); ++storage) {
        if (dead[size_t(storage)])
            continue;
        if (kept != storage)
            m_rows[size_t(kept)] = std::move(m_rows[size_t(storage)]);
        moved[size_t(storage)] = kept++;
    }
    m_rows.erase(m_rows.begin() + kept, m_rows.end());
    for (int& storage : m_order)
        storage = moved[size_t(storage)];
}

void ListModel::clear()
{
    const Change change(*this);
    beginResetModel();
    m_rows.clear();
    m_order.clear();
    endResetModel();
}

ListModel::Prepared ListModel::takeAll()
{
    Prepared taken;
    const Change change(*this);
    beginResetModel();
    taken.rows.swap(m_rows);
    taken.order.swap(m_order);
    endResetModel();
    taken.column = m_sortColumn;
    taken.sortOrder = m_sortOrder;
    return taken;
}

QString ListModel::cell(int row, int column) const
{
    if (row < 0 || row >= int(m_order.size()))
        return QString();
    return m_rows[m_order[row]].cells.value(column);
}

void ListModel::setCell(int row, int column, const QString& text)
{
    if (row < 0 || row >= rowCount() || column < 0)
        return;
    const Change change(*this);
    const int storage = m_order[row];
    QStringList& cells = m_rows[storage].cells;
    while (cells.size() <= column)
        cells.append(QString());
    cells[column] = text;
    if (column < columnCount()) {
        const QModelIndex changed = index(row, column);
        emit dataChanged(changed, changed, {Qt::DisplayRole});
    }
    if (column != m_sortColumn)
        return;

    // The row's key changed: move it to its new place.
    m_rows[storage].key = keyFor(cells);
    m_order.erase(m_order.begin() + row);
    const int to = placeFor(storage);
    m_order.insert(m_order.begin() + row, storage);
    if (to == row)
        return;
    beginMoveRows(QModelIndex(), row, row, QModelIndex(), to > row ? to + 1 : to);
    m_order.erase(m_order.begin() + row);
    m_order.insert(m_order.begin() + to, storage);
    endMoveRows();
}

int ListModel::findText(const QString& text) const
{
    if (m_findsSinceChange < 2)
        ++m_findsSinceChange;
    QString lower;
    if (m_findsSinceChange < 2 || !asciiLower(text, lower))
        return scanForText(text);
    if (!m_findIndexBuilt)
        buildFindIndex();
    // Two ASCII texts are equal without case exactly when their lower cases are; a
    // text beyond ASCII may still fold onto ASCII (the Kelvin sign onto "k"), so
    // those rows are compared as the scan compares them.
    const auto found = m_findAscii.constFind(lower);
    const int ascii = found == m_findAscii.constEnd() ? -1 : found.value();
    for (const int row : m_findOthers) {
        if (ascii >= 0 && row > ascii)
            break;
        const QStringList& cells = m_rows[m_order[row]].cells;
        if (cells.first().compare(text, Qt::CaseInsensitive) == 0)
            return row;
    }
    return ascii;
}

int ListModel::scanForText(const QString& text) const
{
    for (int row = 0; row < rowCount(); ++row) {
        const QStringList& cells = m_rows[m_order[row]].cells;
        const QString rowText = cells.isEmpty() ? QString() : cells.first();
        if (rowText.compare(text, Qt::CaseInsensitive) == 0)
            return row;
    }
    return -1;
}

void ListModel::buildFindIndex() const
{
    m_findAscii.clear();
    m_findOthers.clear();
    m_findAscii.reserve(qsizetype(m_order.size()));
    QString lower;
    // From the bottom up, so that of equal texts the top row is the one kept.
    for (int row = rowCount() - 1; row >= 0; --row) {
        const QStringList& cells = m_rows[m_order[row]].cells;
        if (cells.isEmpty())
            m_findAscii.insert(QString(), row);
        else if (asciiLower(cells.first(), lower))
            m_findAscii.insert(lower, row);
        else
            m_findOthers.push_back(row);
    }
    std::reverse(m_findOthers.begin(), m_findOthers.end());
    m_findIndexBuilt = true;
}

void ListModel::rowsChanged() const
{
    m_findsSinceChange = 0;
    if (m_findIndexBuilt) {
        m_findIndexBuilt = false;
        m_findAscii = {};
        m_findOthers = {};
    }
}

void ListModel::setSort(int column, Qt::SortOrder order)
{
    column = std::max(0, column);
    const bool newKeys = column != m_sortColumn;
    if (!newKeys && order == m_sortOrder)
        return;
    m_sortColumn = column;
    m_sortOrder = order;
    if (newKeys) {
        for (Row& row : m_rows)
            row.key = keyFor(row.cells);
    }
    if (!m_order.empty())
        reorder(!newKeys);
}

void ListModel::reorder(bool directionOnly)
{
    const Change change(*this);
    // Selection and current row are persistent indexes: they go with their rows.
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList from = persistentIndexList();
    std::vector<int> storageOf;
    storageOf.reserve(from.size());
    for (const QModelIndex& index : from)
        storageOf.push_back(m_order[index.row()]);

    if (directionOnly)
        reverseDirection();
    else
        resort();

    std::vector<int> rowOf(m_rows.size());
    for (int row = 0; row < int(m_order.size()); ++row)
        rowOf[m_order[row]] = row;
    QModelIndexList to;
    to.reserve(from.size());
    for (int i = 0; i < from.size(); ++i)
        to.append(index(rowOf[storageOf[i]], from[i].column()));
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ListModel::resort()
{
    sortByKeys(m_order, m_sortColumn, m_sortOrder, [this](int storage) -> const Row& { return m_rows[size_t(storage)]; });
}

void ListModel::reverseDirection()
{
    // The rows are already sorted by this column the other way: turning the
    // order round and then each run of equal keys back keeps equal keys in
    // adding order.
    reverseRuns(m_order, [this](int a, int b) { return compareKeys(m_rows[size_t(a)], m_rows[size_t(b)], m_sortColumn) == 0; });
}

QModelIndex ListModel::index(int row, int column, const QModelIndex& parent) const
{
    if (parent.isValid() || row < 0 || column < 0 || row >= int(m_order.size()) || column >= m_columns.size())
        return QModelIndex();
    return createIndex(row, column);
}

int ListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_order.size());
}

int ListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_columns.size();
}

QVariant ListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return m_rows[m_order[index.row()]].cells.value(index.column());
    case Qt::TextAlignmentRole:
        if (index.column() < m_columns.size())
            return int(m_columns[index.column()].alignment | Qt::AlignVCenter);
        return QVariant();
    default:
        return QVariant();
    }
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_columns[section].header;
    if (role == Qt::TextAlignmentRole)
        return int(m_columns[section].alignment | Qt::AlignVCenter);
    return QVariant();
}

Qt::ItemFlags ListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void ListModel::sort(int column, Qt::SortOrder order)
{
    setSort(column, order);
}

} // namespace palletry
