#include "core/XmlText.h"

#include <QStringEncoder>

#include <pugixml.hpp>

#include <algorithm>
#include <new>
#include <utility>

#include <cstring>

namespace palletry {
namespace {

// Parsed as a fragment so that text or a second element beside the document
// element can be seen and the text refused, as any XML parser refuses it.
constexpr unsigned int loadOptions = pugi::parse_default | pugi::parse_declaration | pugi::parse_comments
    | pugi::parse_pi | pugi::parse_fragment;

bool isWellFormedDocument(const pugi::xml_document& document)
{
    int elements = 0;
    bool first = true;
    for (pugi::xml_node node = document.first_child(); node; node = node.next_sibling()) {
        switch (node.type()) {
        case pugi::node_element:
            ++elements;
            break;
        case pugi::node_declaration:
            if (!first)
                return false;
            break;
        case pugi::node_pcdata:
        case pugi::node_cdata:
            return false;
        default:
            break;
        }
        first = false;
    }
    return elements == 1;
}

bool finishLoad(pugi::xml_document& document, const pugi::xml_parse_result& result)
{
    if (result && isWellFormedDocument(document))
        return true;
    // A failed parse leaves what was read before the error; the document must be empty.
    document.reset();
    return false;
}

// Appends @p text with every character that @p entityFor maps to an entity replaced by it.
template <typename EntityFor>
void appendEscaped(QByteArray& out, const char* text, EntityFor entityFor)
{
    const char* run = text;
    for (const char* p = text;; ++p) {
        const char c = *p;
        if (c == '\0') {
            out.append(run, p - run);
            return;
        }
        if (const char* entity = entityFor(c)) {
            out.append(run, p - run);
            out.append(entity);
            run = p + 1;
        }
    }
}

void appendText(QByteArray& out, const char* text)
{
    appendEscaped(out, text, [](char c) -> const char* {
        switch (c) {
        case '<':
            return "&lt;";
        case '>':
            return "&gt;";
        case '&':
            return "&amp;";
        }
        return nullptr;
    });
}

// Attribute values also escape the quote and the characters that attribute
// normalisation would otherwise turn into spaces when the text is read again.
void appendAttributeValue(QByteArray& out, const char* text)
{
    appendEscaped(out, text, [](char c) -> const char* {
        switch (c) {
        case '<':
            return "&lt;";
        case '&':
            return "&amp;";
        case '"':
            return "&quot;";
        case '\t':
            return "&#9;";
        case '\n':
            return "&#10;";
        case '\r':
            return "&#13;";
        }
        return nullptr;
    });
}

void appendRawNode(QByteArray& out, const pugi::xml_node& node)
{
    switch (node.type()) {
    case pugi::node_cdata:
        out.append("<![CDATA[");
        out.append(node.value());
        out.append("]]>");
        break;
    case pugi::node_comment:
        out.append("<!--");
        out.append(node.value());
        out.append("-->");
        break;
    case pugi::node_pi:
        out.append("<?");
        out.append(node.name());
        if (*node.value()) {
            out += ' ';
            out.append(node.value());
        }
        out.append("?>");
        break;
    default:
        break;
    }
}

// The serialiser's own writer: text and attribute values escaped.
class EscapingWriter : public XmlText::NodeWriter
{
public:
    void text(QByteArray& out, const char* value) override { appendText(out, value); }
    void attributeValue(QByteArray& out, const char* value) override { appendAttributeValue(out, value); }
    void declaration(QByteArray& out) override { out.append("<?xml version=\"1.0\"?>"); }
};

} // namespace

bool XmlText::load(pugi::xml_document& document, QStringView text)
{
    // Qt's UTF-8 encoder is many times faster than pugixml's own UTF-16 conversion.
    // It writes straight into a buffer the document takes over and parses in place,
    // so a large text is converted once and never copied.
    QStringEncoder toUtf8(QStringEncoder::Utf8);
    const std::size_t capacity = static_cast<std::size_t>(toUtf8.requiredSpace(text.size())) + 1;
    auto* buffer = static_cast<char*>(pugi::get_memory_allocation_function()(capacity));
    if (!buffer)
        throw std::bad_alloc();
    const char* end = toUtf8.appendToBuffer(buffer, text);
    const pugi::xml_parse_result result = document.load_buffer_inplace_own(
        buffer, static_cast<std::size_t>(end - buffer), loadOptions, pugi::encoding_utf8);
    return finishLoad(document, result);
}

bool XmlText::loadInPlaceForReading(pugi::xml_document& document, char* text, std::size_t size)
{
    const pugi::xml_parse_result result = document.load_buffer_inplace(
        text, size, loadOptions | pugi::parse_embed_pcdata, pugi::encoding_utf8);
    return finishLoad(document, result);
}

bool XmlText::loadEncodedInPlace(pugi::xml_document& document, char* data, std::size_t size)
{
    const pugi::xml_parse_result result = document.load_buffer_inplace(data, size, loadOptions, pugi::encoding_auto);
    return finishLoad(document, result);
}

namespace {

/**
 * Where the long text of a reply would lie: after the run of tags it opens with, up to
 * the run of tags it closes with (no more than a few of either, as in an envelope).
 * Only a guess, tested by the parse of the reply with a stand-in there; an empty span
 * where there is none, or where the encoding's declaration does not end before it.
 */
bool blank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::pair<std::size_t, std::size_t> longText(const char* data, std::size_t size)
{
    constexpr int MostTags = 32;
    // Forward: each "<" up to its ">", while another "<" follows (white space between).
    std::size_t from = 0;
    int tags = 0;
    for (;;) {
        std::size_t next = from;
        while (next < size && blank(data[next]))
            ++next;
        if (next == size || data[next] != '<' || ++tags > MostTags)
            break;
        const auto* close = static_cast<const char*>(std::memchr(data + next, '>', size - next));
        if (!close)
            return {};
        from = std::size_t(close - data) + 1;
    }
    // Backward: each ">" back to its "<", while another ">" comes before (white space between).
    std::size_t to = size;
    tags = 0;
    for (;;) {
        std::size_t last = to;
        while (last > from && blank(data[last - 1]))
            --last;
        if (last == from || data[last - 1] != '>' || ++tags > MostTags)
            break;
        std::size_t open = last - 1;
        while (open > from && data[open] != '<')
            --open;
        if (data[open] != '<')
            return {};
        to = open;
    }
    // Room for the stand-in's parse and the declaration (which tells the encoding) wholly before the text.
    if (from < 16 || from >= to || tags > MostTags)
        return {};
    if (data[0] == '<' && data[1] == '?' && !std::memchr(data + 2, '?', from - 2))
        return {};
    return {from, to};
}

pugi::xml_node nodeWithValue(const pugi::xml_document& document, const char* value)
{
    return document.find_node(
        [value](const pugi::xml_node& node) { return node.type() == pugi::node_pcdata && node.value() == value; });
}

} // namespace

bool XmlText::loadSettingTextAside(pugi::xml_document& document, QByteArray& bytes, SetAside& aside)
{
    aside = SetAside();
    char* const data = bytes.data();
    const auto size = static_cast<std::size_t>(bytes.size());
    if (const auto [from, to] = longText(data, size); to) {
        /*
         * The parser reads the reply up to the text's first byte as it reads the reply
         * with a stand-in "x" there. Where the stand-in becomes a text node's whole value,
         * the parser was at the start of a text there and ends it at the "<" after it; if
         * the span holds no "<" and no NUL byte and is not blank, the reply's parse reads
         * the span as that text node's value, ended by the same "<", and then reads the
         * same bytes as the stand-in's parse. Who reads the span checks the first two.
         */
        const std::size_t skeleton = from + 1 + (size - to);
        auto* buffer = static_cast<char*>(pugi::get_memory_allocation_function()(skeleton));
        if (!buffer)
            throw std::bad_alloc();
        std::memcpy(buffer, data, from);
        buffer[from] = 'x';
        std::memcpy(buffer + from + 1, data + to, size - to);
        const char* const standIn = buffer + from;
        const pugi::xml_parse_result result =
            document.load_buffer_inplace_own(buffer, skeleton, loadOptions, pugi::encoding_auto);
        const pugi::xml_node node = result && result.encoding == pugi::encoding_utf8 && isWellFormedDocument(document)
                                        ? nodeWithValue(document, standIn)
                                        : pugi::xml_node();
        if (node && std::strcmp(node.value(), "x") == 0 && !std::all_of(data + from, data + to, blank)) {
            aside.standIn = standIn;
            aside.from = from;
            aside.to = to;
            return true;
        }
        document.reset();
    }
    return loadEncodedInPlace(document, data, size);
}

std::string XmlText::serialiseUtf8(const pugi::xml_document& document, std::size_t sizeHint)
{
    QByteArray out;
    if (sizeHint)
        out.reserve(static_cast<qsizetype>(sizeHint));
    EscapingWriter writer;
    serialiseWith(document, out, writer);
    return out.toStdString();
}

bool XmlText::serialiseWith(const pugi::xml_document& document, QByteArray& out, NodeWriter& writer)
{
    // Iterative walk: a deeply nested reply must not exhaust the stack.
    pugi::xml_node node = document.first_child();
    while (node) {
        bool descend = false;
        switch (node.type()) {
        case pugi::node_element:
            out += '<';
            out.append(node.name());
            for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
                out += ' ';
                out.append(a.name());
                out.append("=\"");
                writer.attributeValue(out, a.value());
                out += '"';
            }
            if (node.first_child()) {
                out += '>';
                descend = true;
            } else {
                out.append(" />");
            }
            break;
        case pugi::node_pcdata:
            writer.text(out, node.value());
            break;
        case pugi::node_declaration:
            writer.declaration(out);
            break;
        case pugi::node_cdata:
        case pugi::node_comment:
        case pugi::node_pi:
            if (!writer.writesRawNodes())
                return false;
            appendRawNode(out, node);
            break;
        default:
            break;
        }
        if (descend) {
            node = node.first_child();
            continue;
        }
        while (!node.next_sibling()) {
            node = node.parent();
            if (!node || node.type() == pugi::node_document)
                return true;
            out.append("</");
            out.append(node.name());
            out += '>';
        }
        node = node.next_sibling();
    }
    return true;
}

void XmlText::appendEscapedAttribute(QByteArray& out, const char* value)
{
    appendAttributeValue(out, value);
}

} // namespace palletry
