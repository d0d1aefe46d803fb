#include "core/DataSetWalk.h"

#include "core/XmlText.h"

#include <pugixml.hpp>

#include <cstring>

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
// An element's first text may be held as its own value (DataSetWalk::load);
// it comes before all of the element's children.
QString textContent(const pugi::xml_node& element)
{
    const char* own = element.value();
    const pugi::xml_node first = element.first_child();
    if (!first)
        return QString::fromUtf8(own);
    if (!*own && !first.next_sibling() && isText(first))
        return QString::fromUtf8(first.value());
    std::string text(own);
    for (pugi::xml_node node = first; node;) {
        if (isText(node) || node.type() == pugi::node_element)
            text += node.value(); // a text, or an element's own first text
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
    return QString::fromStdString(text);
}

} // namespace

DataSetWalk::DataSetWalk(std::initializer_list<const char*> columns)
    : m_columns(columns)
{
}

bool DataSetWalk::load(pugi::xml_document& document, QByteArrayView text)
{
    return XmlText::loadForReading(document, text);
}

int DataSetWalk::walk(const pugi::xml_document& document, const RowHandler& onRow,
                      const ColumnHandler& onColumn) const
{
    const int columns = columnCount();
    QVector<QString> values(columns);
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
                        ++rows;
                        values.fill(QString());
                        for (pugi::xml_node cell : table.children()) {
                            if (cell.type() != pugi::node_element)
                                continue;
                            for (int c = 0; c < columns; ++c) {
                                if (std::strcmp(cell.name(), m_columns[size_t(c)]) == 0) {
                                    values[c] = textContent(cell);
                                    if (onColumn)
                                        onColumn(c, values[c]);
                                    break;
                                }
                            }
                        }
                        if (onRow)
                            onRow(values);
                    }
                }
            }
        }
    }
    return rows;
}

} // namespace palletry
