#include "core/DataSetWalk.h"

#include "core/XmlText.h"

#include <pugixml.hpp>

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace palletry {
namespace {

bool named(const pugi::xml_node& node, const char* name)
{
    return node.type() == pugi::node_element && std::strcmp(node.name(), name) == 0;
}

bool isText(const pugi::xml_node& node)
{
    return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
}

// The element's whole text content: every text and CDATA descendant, in order.
// An element's first text may be held as its own value (Document::load);
// it comes before all of the element's children. @p scratch holds a value
// gathered from several nodes; a single text is returned where it lies.
std::string_view textContent(const pugi::xml_node& element, std::string& scratch)
{
    const char* own = element.value();
    const pugi::xml_node first = element.first_child();
    if (!first)
        return own;
    if (!*own && !first.next_sibling() && isText(first))
        return first.value();
    scratch.assign(own);
    for (pugi::xml_node node = first; node;) {
        if (isText(node) || node.type() == pugi::node_element)
            scratch += node.value(); // a text, or an element's own first text
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node && node != element && !node.next_sibling())
            node = node.parent();
        if (!node || node == element)
            break;
        node = node.next_sibling();
    }
    return scratch;
}

QString toQString(std::string_view utf8)
{
    return utf8.empty() ? QString() : QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace

DataSetWalk::DataSetWalk(std::initializer_list<const char*> columns)
    : m_columns(columns)
{
}

DataSetWalk::Document::Document() = default;
DataSetWalk::Document::~Document() = default;

bool DataSetWalk::Document::load(QByteArrayView text)
{
    // Parsed in place in a copy of our own, so that the nodes can go before the text.
    const auto size = static_cast<std::size_t>(text.size());
    m_text.reset(new char[size + 1]);
    if (size != 0) // an empty view may have no data at all
        std::memcpy(m_text.get(), text.data(), size);
    m_text[size] = '\0';
    m_size = size;
    m_document = std::make_unique<pugi::xml_document>();
    if (XmlText::loadInPlaceForReading(*m_document, m_text.get(), size))
        return true;
    m_document.reset();
    m_text.reset();
    return false;
}

template <typename Found>
int DataSetWalk::findRows(const pugi::xml_document& document, Found&& found) const
{
    const int columns = columnCount();
    std::string scratch;
    int rows = 0;
    for (pugi::xml_node root : document.children()) {
        if (!named(root, "Root"))
            continue;
        for (pugi::xml_node dataSet : root.children()) {
            if (!named(dataSet, "DataSet"))
                continue;
            for (pugi::xml_node diffgram : dataSet.children()) {
                if (!named(diffgram, "diffgr:diffgram"))
                    continue;
                for (pugi::xml_node newDataSet : diffgram.children()) {
                    if (!named(newDataSet, "NewDataSet"))
                        continue;
                    for (pugi::xml_node table : newDataSet.children()) {
                        if (!named(table, "Table"))
                            continue;
                        found(rows, -1, std::string_view()); // a row begins
                        for (pugi::xml_node cell = table.first_child(); cell; cell = cell.next_sibling()) {
                            if (cell.type() != pugi::node_element)
                                continue;
                            const char* name = cell.name();
                            for (int c = 0; c < columns; ++c) {
                                if (std::strcmp(name, m_columns[size_t(c)]) == 0) {
                                    found(rows, c, textContent(cell, scratch));
                                    break;
                                }
                            }
                        }
                        ++rows;
                    }
                }
            }
        }
    }
    return rows;
}

int DataSetWalk::walk(const pugi::xml_document& document, const RowHandler& onRow,
                      const ColumnHandler& onColumn) const
{
    QVector<QString> values(columnCount());
    bool inRow = false;
    const int rows = findRows(document, [&](int, int column, std::string_view value) {
        if (column < 0) {
            if (inRow && onRow)
                onRow(values);
            inRow = true;
            QString* valueSlots = values.data(); // after the handler: it may have kept a copy
            for (int c = 0; c < values.size(); ++c)
                valueSlots[c] = QString();
            return;
        }
        QString* valueSlots = values.data();
        valueSlots[column] = toQString(value);
        if (onColumn)
            onColumn(column, valueSlots[column]);
    });
    if (inRow && onRow)
        onRow(values);
    return rows;
}

int DataSetWalk::walk(Document& document, const RowHandler& onRow, const ColumnHandler& onColumn) const
{
    if (!document.m_document)
        return 0;
    // First the values as places in the text (or gathered text), then the nodes
    // go, then the values become QString and the handlers see them.
    struct Cell
    {
        std::size_t at; // offset in the text, or in gathered when the column is flagged
        std::uint32_t size;
        std::int32_t column; // -1: a row begins; column + Gathered: the value is in gathered
    };
    constexpr std::int32_t Gathered = 1 << 16;
    std::vector<Cell> cells;
    std::string gathered;
    const char* text = document.m_text.get();
    const int rows = findRows(*document.m_document, [&](int, int column, std::string_view value) {
        if (column < 0) {
            cells.push_back(Cell{0, 0, -1});
            return;
        }
        if (!value.empty() && value.data() >= text && value.data() < text + document.m_size) {
            cells.push_back(Cell{std::size_t(value.data() - text), std::uint32_t(value.size()), column});
        } else {
            cells.push_back(Cell{gathered.size(), std::uint32_t(value.size()), column + Gathered});
            gathered.append(value);
        }
    });
    document.m_document.reset();

    QVector<QString> values(columnCount());
    bool inRow = false;
    for (const Cell& cell : cells) {
        if (cell.column < 0) {
            if (inRow && onRow)
                onRow(values);
            inRow = true;
            QString* valueSlots = values.data(); // after the handler: it may have kept a copy
            for (int c = 0; c < values.size(); ++c)
                valueSlots[c] = QString();
            continue;
        }
        QString* valueSlots = values.data();
        const bool isGathered = cell.column >= Gathered;
        const int column = isGathered ? cell.column - Gathered : cell.column;
        const char* base = isGathered ? gathered.data() : text;
        valueSlots[column] = toQString(std::string_view(base + cell.at, cell.size));
        if (onColumn)
            onColumn(column, valueSlots[column]);
    }
    if (inRow && onRow)
        onRow(values);
    document.m_text.reset();
    return rows;
}

} // namespace palletry
