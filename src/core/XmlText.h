#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstddef>
#include <string>

namespace pugi {
class xml_document;
}

namespace palletry {

/**
 * The one way the control turns text into an XML document and back.
 *
 * Loading: whitespace-only text between elements is dropped, comments,
 * processing instructions and the XML declaration are kept as nodes, a DOCTYPE
 * is skipped and never processed (no entity expansion beyond the five
 * predefined entities and character references). Text that does not parse, or
 * is not one document (exactly one document element, no text outside it),
 * leaves the document empty. The parser is lenient about a stray "&" (kept as
 * text), which the serialiser then writes escaped.
 *
 * Serialising: the declaration, when the document has one, is written as
 * <?xml version="1.0"?>; element names keep their prefixes; attributes and
 * namespace declarations stay in their order, each as name="value" preceded by
 * one space; in text only "<", ">" and "&" are escaped; an element without
 * children is written <name />. No line breaks or indentation are added.
 */
class XmlText
{
public:
    /// Loads @p text (UTF-16, as QString holds it). Returns false and leaves the document empty when it is not well-formed.
    static bool load(pugi::xml_document& document, QStringView text);

    /**
     * Loads UTF-8 @p text, parsed in place (it must outlive the document), for
     * reading only: the same document, except that an element's first text is
     * kept as the element's value instead of a child node of its own (fewer
     * nodes, less memory). Such a document is for reading values
     * (DataSetWalk), never for serialising.
     */
    static bool loadInPlaceForReading(pugi::xml_document& document, char* text, std::size_t size);

    /**
     * Loads raw bytes whose encoding is found as an XML parser finds it (byte-order
     * mark or declaration; UTF-8 otherwise), as received from the network, parsing
     * @p data in place: the parsed nodes point into it, so it must outlive them.
     */
    static bool loadEncodedInPlace(pugi::xml_document& document, char* data, std::size_t size);

    /**
     * A reply's long text, left out of its parse by loadSettingTextAside: the document
     * holds a one-character stand-in text node where the text stands in the received
     * bytes, escaped, at [from, to).
     */
    struct SetAside
    {
        const char* standIn = nullptr; ///< the stand-in node's value; null when nothing is set aside
        std::size_t from = 0;
        std::size_t to = 0;
        /// Set by who reads the text when it is no text node's whole content after all (it holds a "<" or a NUL byte).
        bool refused = false;
        explicit operator bool() const { return standIn != nullptr; }
    };

    /**
     * loadEncodedInPlace for a reply whose bulk is one text (a read's result, most of a
     * large reply), without the parser's walk over that text: @p aside notes where it
     * stands and which node holds its place. The document is the one loadEncodedInPlace
     * gives, with the stand-in for the text's value, as long as the text holds no "<"
     * and no NUL byte, which whoever reads it must check (and else set refused and have
     * the reply loaded whole). Where the reply has no such text, or anything about it might
     * parse otherwise (no UTF-8, a declaration reaching into it, a text that is not an
     * element's whole content), it is loaded as loadEncodedInPlace loads it and nothing is
     * set aside. A text set aside leaves @p bytes as they were.
     */
    static bool loadSettingTextAside(pugi::xml_document& document, QByteArray& bytes, SetAside& aside);

    /// The document as UTF-8 text. @p sizeHint reserves the buffer up front (0: no hint).
    static std::string serialiseUtf8(const pugi::xml_document& document, std::size_t sizeHint = 0);

    /// Appends @p value as the serialiser writes an attribute value (without the quotes).
    static void appendEscapedAttribute(QByteArray& out, const char* value);

    /**
     * What a serialising walk writes for the parts that carry values. The walk
     * itself (element tags, their nesting, attribute names and order, empty
     * elements) is the serialiser's; serialiseUtf8 uses a writer that escapes.
     */
    class NodeWriter
    {
    public:
        virtual ~NodeWriter() = default;
        virtual void text(QByteArray& out, const char* value) = 0;
        virtual void attributeValue(QByteArray& out, const char* value) = 0;
        virtual void declaration(QByteArray& out) = 0;
        /// Comments, CDATA sections and processing instructions are written as they are, unless refused here.
        virtual bool writesRawNodes() const { return true; }
    };

    /**
     * Appends the document to @p out as the serialiser walks it, with @p writer
     * writing texts, attribute values and the declaration. Returns false, with
     * @p out incomplete, at a raw node the writer refuses.
     */
    static bool serialiseWith(const pugi::xml_document& document, QByteArray& out, NodeWriter& writer);
};

} // namespace palletry
