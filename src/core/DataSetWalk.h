#pragma once

#include <QByteArrayView>
#include <cstddef>
#include <QString>
#include <QVector>

#include <functional>
#include <initializer_list>
#include <memory>
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
     * A DataSet answer parsed for walk(). Its document keeps each element's
     * first text as the element's value (fewer nodes) and is released by the
     * walk as soon as the values are found, before they become QString, so
     * that a large answer's nodes and its rows never take memory at once.
     */
    class Document
    {
    public:
        Document();
        ~Document();
        Document(const Document&) = delete;
        Document& operator=(const Document&) = delete;

        /// Parses a copy of @p text (UTF-8, as the result fields hold it); false when it is not well-formed (the empty text included).
        bool load(QByteArrayView text);

    private:
        friend class DataSetWalk;
        std::unique_ptr<char[]> m_text;
        std::size_t m_size = 0;
        std::unique_ptr<pugi::xml_document> m_document;
    };

    int columnCount() const { return int(m_columns.size()); }

    /// Called as soon as a column of a row has been read (slot index, value).
    using ColumnHandler = std::function<void(int column, const QString& value)>;
    /// Called after the last column of a row; the row's values are indexed like the columns.
    using RowHandler = std::function<void(const QVector<QString>& row)>;

    /// Walks every row of @p document. Returns the number of rows seen.
    int walk(const pugi::xml_document& document, const RowHandler& onRow,
             const ColumnHandler& onColumn = {}) const;

    /**
     * The same walk over a loaded answer: the handlers see the same values in
     * the same order. The document is spent afterwards (its nodes are gone).
     */
    int walk(Document& document, const RowHandler& onRow, const ColumnHandler& onColumn = {}) const;

private:
    /// Finds every row's values in @p document: @p found(row, column, UTF-8 value) in walking order.
    template <typename Found>
    int findRows(const pugi::xml_document& document, Found&& found) const;

    std::vector<const char*> m_columns;
};

} // namespace palletry
