#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
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
     * A DataSet answer read for walk(): where every row and every child of a
     * row (name and whole text) lies. No node tree is kept, so a large answer
     * costs little beyond its text, and the values become QString only in the
     * walk. The text is read where it lies (a QByteArray is shared, not copied).
     */
    class Document
    {
    public:
        Document();
        ~Document();
        Document(const Document&) = delete;
        Document& operator=(const Document&) = delete;

        /// Reads @p text (UTF-8, as the result fields hold it); false when it is not well-formed (the empty text included).
        bool load(const QByteArray& text);

        /**
         * Reads the text that [@p from, @p to) of @p bytes holds escaped, as a text node's
         * content stands in a reply: the same as load() of that text unescaped, where the
         * plain reading alone can read it. False, with nothing read, where it cannot: the
         * span is no text node's whole content (it holds a "<" or a NUL byte), or holds
         * more than the plain reading takes. The bytes are shared, not copied.
         */
        bool loadEscaped(const QByteArray& bytes, std::size_t from, std::size_t to);

        /**
         * Keeps of the text only what the rows read, moved together, and gives the rest
         * back: a large answer's markup need not be held while its values are made. Only
         * a text the document alone holds is compacted; otherwise nothing changes.
         */
        void compact();

        /// How many bytes the rows are read from (the text, or the bytes that hold it escaped).
        qsizetype textSize() const { return m_text.size(); }

        /**
         * Names (ASCII) to look out for in the next loads: watchedSeen() then tells
         * whether an element had one of them, or an attribute value held a "<".
         */
        void watchNames(std::vector<std::string> names) { m_watched = std::move(names); }
        /**
         * After a load(): false only when the plain scan read the text and met none of the
         * watched names and no "<" in an attribute value, so that no "<" of the text begins
         * anything but an element other than those.
         */
        bool watchedSeen() const { return m_watchedSeen; }

        /**
         * After a load(): the text was read by the plain scan alone (elements, attributes
         * and text, nothing the parser would decide otherwise) and its one element is a
         * Root holding a DataSet element. The parser then finds the same.
         */
        bool plainDataSet() const { return m_plainDataSet; }

    private:
        friend class DataSetWalk;
        /// A row begins (name == RowStart) or a child of a row with its text; the text lies at base + at, or in gathered when InGathered is set.
        struct Cell
        {
            std::size_t at;
            std::uint32_t size;
            std::uint32_t name;
        };
        static constexpr std::uint32_t RowStart = 0xffffffffu;
        static constexpr std::size_t InGathered = std::size_t(1) << (sizeof(std::size_t) * 8 - 1);

        bool readPlain();
        template <typename Source>
        bool read(const char* begin, const char* end);
        bool loadWithNodes();
        void clear();

        QByteArray m_text;
        std::unique_ptr<char[]> m_copy; // parsed in place when the text needs the full parser
        const char* m_base = nullptr;
        std::vector<Cell> m_cells;
        std::vector<std::string_view> m_names; // the distinct names of the rows' children
        std::string m_gathered; // texts that are not one piece of the text as it lies
        std::string m_nameText; // the names, once compact() has let the markup go
        std::vector<std::string> m_watched;
        bool m_loaded = false;
        bool m_plainDataSet = false;
        bool m_watchedSeen = true;
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
     * the same order. The document is spent afterwards (nothing of it is kept).
     */
    int walk(Document& document, const RowHandler& onRow, const ColumnHandler& onColumn = {}) const;

    /// Called after the last column of a row, which it may take, or take the values of: the next row starts empty.
    using RowTaker = std::function<void(QVector<QString>& row)>;
    /// As walk(), handing each row over: a large answer's values move on without a copy.
    int walkTaking(Document& document, const RowTaker& onRow) const;

    /// How many rows a walk of @p document would see.
    static int rowCount(const Document& document);

private:
    template <typename Handler>
    int walkDocument(Document& document, const Handler& onRow, const ColumnHandler& onColumn) const;

    std::vector<const char*> m_columns;
};

} // namespace palletry
