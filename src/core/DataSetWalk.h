#pragma once

#include <QByteArrayView>
#include <QString>
#include <QVector>

#include <functional>
#include <initializer_list>
#include <vector>

namespace pugi {
class xml_document;
}

namespace palletry {

/**
 * The one way every loader reads a DataSet result: the rows are the `Table`
 * elements under Root / DataSet / diffgr:diffgram / NewDataSet (names compared
 * as written, prefix included, every matching branch descended, in document
 * order); a row's columns are its child elements, matched against the loader's
 * column names in their stated order (first equal name wins).
 *
 * Column slots start empty at every row: a column the service left out of a
 * row (a null value) reads as empty, never as an earlier row's value.
 */
class DataSetWalk
{
public:
    explicit DataSetWalk(std::initializer_list<const char*> columns);

    /**
     * Parses a DataSet answer (UTF-8, as the result fields hold it) for walk():
     * false, with an empty document, when it is not well-formed (the empty text
     * included). The document keeps each element's first text as its value
     * (fewer nodes); it serves the walk, not the serialiser.
     */
    static bool load(pugi::xml_document& document, QByteArrayView text);

    int columnCount() const { return int(m_columns.size()); }

    /// Called as soon as a column of a row has been read (slot index, value).
    using ColumnHandler = std::function<void(int column, const QString& value)>;
    /// Called after the last column of a row; the row's values are indexed like the columns.
    using RowHandler = std::function<void(const QVector<QString>& row)>;

    /// Walks every row of @p document (from load(), or any document). Returns the number of rows seen.
    int walk(const pugi::xml_document& document, const RowHandler& onRow,
             const ColumnHandler& onColumn = {}) const;

private:
    std::vector<const char*> m_columns;
};

} // namespace palletry
