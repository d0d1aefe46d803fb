#include "soap/Unwrap.h"

#include "core/DataSetWalk.h"
#include "core/XmlText.h"
#include "soap/ServiceNamespace.h"
#include "soap/TextEdit_p.h"

#include <pugixml.hpp>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

namespace palletry::Unwrap {
namespace {

using textedit::Pattern;
using textedit::Search;
using textedit::startsWith;

const Pattern& utf8Declaration()
{
    static const Pattern p("<?xml version=\"1.0\" encoding=\"utf-8\" ?>");
    return p;
}

// The serialiser's declaration without its "<" and ">", so that the escaped and
// the plain spelling of either bracket can be matched around it.
const Pattern& plainDeclarationInner()
{
    static const Pattern p("?xml version=\"1.0\"?");
    return p;
}

struct Literals
{
    Pattern lt{"&lt;"};
    Pattern gt{"&gt;"};
    Pattern amp{"&amp;"};
    Pattern less{"<"};
    Pattern greater{">"};
    Pattern ampersand{"&"};
};

const Literals& literals()
{
    static const Literals l;
    return l;
}

/*
 * Applying the four replacements one after the other equals one left-to-right
 * scan for these tokens of the original text:
 *   "&lt;" or "<", then ?xml version="1.0"?, then ">" or "&gt;" -> the utf-8 declaration
 *   "&lt;" -> "<",  "&gt;" -> ">",  "&amp;" -> "&"
 * because no two tokens can overlap ("&lt;", "&gt;", "&amp;" share no border, and
 * the declaration holds no "&" between its brackets), the later steps' patterns
 * contain no character an earlier step inserts except the declaration's brackets
 * (covered by the first token), and nothing inserted contains "&amp;". So
 * "&amp;lt;" becomes "&lt;", exactly as the sequential steps give.
 *
 * Out::append(const Char*, size_t) receives the result (Out::reserve(extra) asks
 * for room); both are called only once something changes, so nothing is
 * written when the text needs no change, and false is returned.
 */
template <typename Char, typename Out>
bool unescapeInto(const Char* begin, const Char* end, Out& out)
{
    const Literals& l = literals();
    const auto lt = l.lt.view<Char>();
    const auto gt = l.gt.view<Char>();
    const auto amp = l.amp.view<Char>();
    const auto inner = plainDeclarationInner().view<Char>();
    const auto declaration = utf8Declaration().view<Char>();

    // Length of the declaration token whose inner part starts at p, or 0.
    auto declarationTail = [&](const Char* p) -> std::size_t {
        if (!startsWith(p, end, inner))
            return 0;
        const Char* q = p + inner.size();
        if (q < end && *q == Char('>'))
            return inner.size() + 1;
        if (startsWith(q, end, gt))
            return inner.size() + gt.size();
        return 0;
    };

    bool changed = false;
    const Char* run = begin;
    const Char* nextAmp = Search<Char>::findChar(begin, end, '&');
    const Char* nextLess = Search<Char>::findChar(begin, end, '<');
    for (;;) {
        const Char* p = nextAmp < nextLess ? nextAmp : nextLess;
        if (p == end)
            break;
        std::size_t consumed = 0;
        std::basic_string_view<Char> replacement;
        if (*p == Char('&')) {
            if (startsWith(p, end, lt)) {
                if (const std::size_t tail = declarationTail(p + lt.size())) {
                    consumed = lt.size() + tail;
                    replacement = declaration;
                } else {
                    consumed = lt.size();
                    replacement = l.less.view<Char>();
                }
            } else if (startsWith(p, end, gt)) {
                consumed = gt.size();
                replacement = l.greater.view<Char>();
            } else if (startsWith(p, end, amp)) {
                consumed = amp.size();
                replacement = l.ampersand.view<Char>();
            }
        } else if (const std::size_t tail = declarationTail(p + 1)) {
            consumed = 1 + tail;
            replacement = declaration;
        }

        const Char* next = p + 1;
        if (consumed) {
            if (!changed) {
                out.reserve(static_cast<std::size_t>(end - begin) + declaration.size());
                changed = true;
            }
            out.append(run, static_cast<std::size_t>(p - run));
            out.append(replacement.data(), replacement.size());
            run = p + consumed;
            next = run;
        }
        if (nextAmp < next)
            nextAmp = Search<Char>::findChar(next, end, '&');
        if (nextLess < next)
            nextLess = Search<Char>::findChar(next, end, '<');
    }
    if (changed)
        out.append(run, static_cast<std::size_t>(end - run));
    return changed;
}

template <typename Bytes>
struct BytesOut
{
    Bytes text;
    void reserve(std::size_t extra)
    {
        // Only ever grows: the text may already hold a large result.
        const auto size = static_cast<std::size_t>(text.size());
        if (static_cast<std::size_t>(text.capacity()) - size < extra)
            text.reserve(static_cast<decltype(text.size())>(size + extra));
    }
    void append(const char* p, std::size_t n) { text.append(p, static_cast<decltype(text.size())>(n)); }
};
using Utf8Out = BytesOut<std::string>;
using ByteArrayOut = BytesOut<QByteArray>;

struct EnvelopePatterns
{
    std::array<Pattern, 5> removed{
        Pattern("<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\""
                " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
                " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\">"),
        Pattern("<soap:Body>"),
        Pattern("</soap:Body>"),
        Pattern("</soap:Envelope>"),
        Pattern("<?xml version=\"1.0\" encoding=\"utf-8\" ?>"),
    };
};

const EnvelopePatterns& envelopePatterns()
{
    static const EnvelopePatterns p;
    return p;
}

// Where @p needle ("<?" first) begins in [b, e), or e: a search for its rare "?"
// (none in a vendor list), faster over a large text than one for the whole needle.
const char* findRare(const char* b, const char* e, std::string_view needle)
{
    for (const char* p = b + 1; p < e;) {
        const auto* q = static_cast<const char*>(std::memchr(p, '?', static_cast<std::size_t>(e - p)));
        if (!q)
            return e;
        if (startsWith(q - 1, e, needle))
            return q - 1;
        p = q + 1;
    }
    return e;
}

/*
 * Why writing a text node raw is exact: the serialiser writes text v as esc(v),
 * where every "&" begins one of "&amp;", "&lt;", "&gt;" standing for one
 * character of v, and no "<" appears. Unescaping esc(v) therefore gives v back,
 * except that the declaration token spelled with escaped brackets, i.e. v
 * holding <?xml version="1.0"?>, becomes the utf-8 declaration. No token can
 * reach across a node's edge: the markup next to text starts with "<" + a name
 * (or "</"), never with the rest of a token. Markup itself (names) holds no "&",
 * and only the declaration node writes "<?". Attribute values are short: they
 * are escaped and unescaped as such. Comments, CDATA sections and processing
 * instructions are written raw and could hold tokens of their own; a document
 * with any of them takes the two-step way.
 */
class UnescapingWriter : public XmlText::NodeWriter
{
public:
    /// @p out is the walk's output: unescapeInto appends to it through its ByteArrayOut.
    explicit UnescapingWriter(ByteArrayOut& out)
        : m_out(out)
    {
    }

    /**
     * The first text that lies in [begin, end) and holds no declaration to rewrite
     * past its start is left out of the output and noted instead (taken()): it is the
     * same bytes, unescaped where they lie, when the reply was parsed in place.
     */
    void takeInPlace(const char* begin, const char* end)
    {
        m_inBegin = begin;
        m_inEnd = end;
    }
    /// Takes the stand-in of a text set aside, whose value is @p standIn, for a text that holds no declaration.
    void takeStandIn(const char* standIn) { m_standIn = standIn; }
    const char* taken() const { return m_taken; }
    std::size_t takenSize() const { return m_takenSize; }
    /// Where the taken text would stand in the output.
    qsizetype takenAt() const { return m_takenAt; }

    void text(QByteArray& out, const char* value) override
    {
        static const Pattern plainDeclaration("<?xml version=\"1.0\"?>");
        const std::string_view plain = plainDeclaration.view<char>();
        const std::string_view declaration = utf8Declaration().view<char>();
        const char* b = value;
        const char* e = b + std::strlen(b);
        if (m_standIn && value == m_standIn) {
            m_taken = value;
            m_takenAt = out.size();
            return;
        }
        if (!m_taken && b >= m_inBegin && e <= m_inEnd) {
            // The service starts its result with the declaration: written out, the rest taken.
            const char* rest = startsWith(b, e, plain) ? b + plain.size() : b;
            if (rest != e && findRare(rest, e, plain) == e) {
                if (rest != b)
                    out.append(declaration.data(), static_cast<qsizetype>(declaration.size()));
                m_taken = rest;
                m_takenSize = static_cast<std::size_t>(e - rest);
                m_takenAt = out.size();
                return;
            }
        }
        for (;;) {
            const char* hit = Search<char>::find(b, e, plain);
            out.append(b, hit - b);
            if (hit == e)
                break;
            out.append(declaration.data(), static_cast<qsizetype>(declaration.size()));
            b = hit + plain.size();
        }
    }

    // Attribute values are short: escaped as the serialiser writes them, then unescaped.
    void attributeValue(QByteArray& out, const char* value) override
    {
        m_attribute.clear();
        XmlText::appendEscapedAttribute(m_attribute, value);
        if (!unescapeInto(m_attribute.constData(), m_attribute.constData() + m_attribute.size(), m_out))
            out.append(m_attribute);
    }

    void declaration(QByteArray& out) override
    {
        const std::string_view d = utf8Declaration().view<char>();
        out.append(d.data(), static_cast<qsizetype>(d.size()));
    }

    bool writesRawNodes() const override { return false; }

private:
    ByteArrayOut& m_out;
    QByteArray m_attribute;
    const char* m_inBegin = nullptr;
    const char* m_inEnd = nullptr;
    const char* m_standIn = nullptr;
    const char* m_taken = nullptr;
    std::size_t m_takenSize = 0;
    qsizetype m_takenAt = 0;
};

// The result text of UTF-8 @p text (a serialised reply) unescaped: the way for
// documents the unescaping writer cannot serialise (comments, raw sections).
std::string unescapeResultUtf8(const std::string& text)
{
    Utf8Out out;
    if (!unescapeInto(text.data(), text.data() + text.size(), out))
        return text;
    return std::move(out.text);
}

// The serialised document with its result text unescaped; its capacity may
// exceed its size (untouched, so it costs no memory).
QByteArray serialiseUnescaped(const pugi::xml_document& document, std::size_t sizeHint)
{
    ByteArrayOut out;
    if (sizeHint)
        out.text.reserve(static_cast<qsizetype>(sizeHint));
    UnescapingWriter writer(out);
    if (XmlText::serialiseWith(document, out.text, writer))
        return std::move(out.text);
    out.text = QByteArray();
    const std::string text = unescapeResultUtf8(XmlText::serialiseUtf8(document, sizeHint));
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

// Fixed length: GetOrderDetails also removes the typed and the empty result tags;
// the others leave their last two places empty.
struct OperationPatterns
{
    std::array<Pattern, 7> patterns;
    std::size_t count;
};

OperationPatterns makePatterns(Operation operation)
{
    const std::string op = operationName(operation);
    const Pattern declaration("<?xml version=\"1.0\" encoding=\"utf-8\" ?>");
    const Pattern responseStart("<" + op + "Response xmlns=\"" + ServiceNamespace + "\">");
    if (operation == Operation::GetOrderDetails) {
        return {{Pattern("<GetOrderDetailsResult xsi:type=\"xsd:string\">"), responseStart,
                 Pattern("<GetOrderDetailsResult>"), Pattern("<GetOrderDetailsResult />"),
                 Pattern("</GetOrderDetailsResult>"), Pattern("</GetOrderDetailsResponse>"), declaration},
                7};
    }
    return {{responseStart, Pattern("<" + op + "Result>"), Pattern("</" + op + "Result>"),
             Pattern("</" + op + "Response>"), declaration, Pattern(std::string()), Pattern(std::string())},
            5};
}

const OperationPatterns& patternsOf(Operation operation)
{
    static const std::array<OperationPatterns, 6> all{
        makePatterns(Operation::GetVendorIncomingLoad),         makePatterns(Operation::GetVendorDataVendorMaster),
        makePatterns(Operation::GetVendorHomeDeliverly),        makePatterns(Operation::GetVendorOrdersAndCentersOnly),
        makePatterns(Operation::GetOrderDetails),               makePatterns(Operation::GetVendorDetailsByOrderID),
    };
    return all[static_cast<std::size_t>(operation)];
}

} // namespace

const char* operationName(Operation operation)
{
    switch (operation) {
    case Operation::GetVendorIncomingLoad:
        return "GetVendorIncomingLoad";
    case Operation::GetVendorDataVendorMaster:
        return "GetVendorDataVendorMaster";
    case Operation::GetVendorHomeDeliverly:
        return "GetVendorHomeDeliverly";
    case Operation::GetVendorOrdersAndCentersOnly:
        return "GetVendorOrdersAndCentersOnly";
    case Operation::GetOrderDetails:
        return "GetOrderDetails";
    case Operation::GetVendorDetailsByOrderID:
        return "GetVendorDetailsByOrderID";
    }
    return "";
}

namespace {

// What is removed, in order: the envelope, then (for a read) the operation's tags.
std::vector<const Pattern*> removedPatterns(const Operation* operation)
{
    std::vector<const Pattern*> patterns;
    for (const Pattern& p : envelopePatterns().removed)
        patterns.push_back(&p);
    if (operation) {
        const OperationPatterns& op = patternsOf(*operation);
        for (std::size_t i = 0; i < op.count; ++i)
            patterns.push_back(&op.patterns[i]);
    }
    return patterns;
}

textedit::InOrderRemoval makeRemoval(const Operation* operation)
{
    const std::vector<const Pattern*> patterns = removedPatterns(operation);
    return textedit::InOrderRemoval(patterns.data(), patterns.size());
}

const textedit::InOrderRemoval& removalOf(const Operation* operation)
{
    static const textedit::InOrderRemoval strip = makeRemoval(nullptr);
    static const std::array<textedit::InOrderRemoval, 6> reads = [] {
        auto of = [](Operation op) { return makeRemoval(&op); };
        return std::array<textedit::InOrderRemoval, 6>{
            of(Operation::GetVendorIncomingLoad),         of(Operation::GetVendorDataVendorMaster),
            of(Operation::GetVendorHomeDeliverly),        of(Operation::GetVendorOrdersAndCentersOnly),
            of(Operation::GetOrderDetails),               of(Operation::GetVendorDetailsByOrderID)};
    }();
    return operation ? reads[static_cast<std::size_t>(*operation)] : strip;
}

QByteArray removedInPlace(QByteArray text, const textedit::InOrderRemoval& removal)
{
    if (text.isEmpty())
        return text;
    std::size_t length = 0;
    const std::size_t start = removal.apply(text.data(), static_cast<std::size_t>(text.size()), length);
    // Dropping the front of an unshared QByteArray moves its start, not its bytes.
    text.truncate(static_cast<qsizetype>(start + length));
    text.remove(0, static_cast<qsizetype>(start));
    return text;
}

} // namespace

QByteArray replyText(const pugi::xml_document& reply, std::size_t sizeHint)
{
    return removedInPlace(serialiseUnescaped(reply, sizeHint), removalOf(nullptr));
}

QByteArray dataSetText(Operation operation, const pugi::xml_document& reply, std::size_t sizeHint)
{
    return removedInPlace(serialiseUnescaped(reply, sizeHint), removalOf(&operation));
}

namespace {

/**
 * The names of the tags that the patterns removed for @p operation begin with ("<name"
 * or "</name", up to a space, "/" or ">"); empty when a pattern begins otherwise. A pattern whose
 * name could not be an element's ("?xml") is left out: the plain scan never takes one.
 */
std::vector<std::string> tagNamesOf(Operation operation)
{
    std::vector<std::string> names;
    for (const Pattern* pattern : removedPatterns(&operation)) {
        std::string_view p = pattern->view<char>();
        if (p.empty() || p.front() != '<')
            return {};
        p.remove_prefix(p.size() > 1 && p[1] == '/' ? 2 : 1);
        const std::string_view name = p.substr(0, p.find_first_of(" />"));
        if (!name.empty() && (std::isalpha(static_cast<unsigned char>(name.front())) || name.front() == '_'))
            names.emplace_back(name);
    }
    return names;
}

const std::vector<std::string>& watchedNamesOf(Operation operation)
{
    static const std::array<std::vector<std::string>, 6> all{
        tagNamesOf(Operation::GetVendorIncomingLoad),         tagNamesOf(Operation::GetVendorDataVendorMaster),
        tagNamesOf(Operation::GetVendorHomeDeliverly),        tagNamesOf(Operation::GetVendorOrdersAndCentersOnly),
        tagNamesOf(Operation::GetOrderDetails),               tagNamesOf(Operation::GetVendorDetailsByOrderID)};
    return all[static_cast<std::size_t>(operation)];
}

// Moves [from, from + length) of @p text to its front and gives the unused end back.
void keepOnly(QByteArray& text, qsizetype from, std::size_t length)
{
    char* const data = text.data();
    std::memmove(data, data + from, length);
    text.truncate(static_cast<qsizetype>(length));
    text.squeeze();
}

/*
 * Every removed pattern is one tag, "<" then no "<" or ">" then ">". While the text
 * before the taken one ends with ">" and the text after it starts with "<", no
 * occurrence can reach across either edge, so the three pieces are edited apart
 * with the same result as the whole. A piece that keeps a character it would
 * need a neighbour to lose is not emptied by its removal alone: when both
 * neighbours are emptied, the edges held at every step, and the result is the
 * taken text's own removal.
 */
/// Whether the operation's removal empties @p serialised before and after @p at, where the taken text stood.
bool removedWhole(Operation operation, const QByteArray& serialised, qsizetype at)
{
    const textedit::InOrderRemoval& removal = removalOf(&operation);
    return removedInPlace(serialised.left(at), removal).isEmpty() && removedInPlace(serialised.mid(at), removal).isEmpty();
}

/**
 * The taken text of @p reply cut out of @p bytes (which it then holds), with the
 * operation's removal applied unless @p remove is false; false (nothing taken) where
 * the text cannot be cut out whole.
 */
bool cutOut(Operation operation, pugi::xml_document& reply, QByteArray& bytes, bool remove, QByteArray& text)
{
    const char* const base = bytes.constData();
    ByteArrayOut out;
    UnescapingWriter writer(out);
    writer.takeInPlace(base, base + bytes.size());
    if (!XmlText::serialiseWith(reply, out.text, writer) || !writer.taken())
        return false;
    if (!removedWhole(operation, out.text, writer.takenAt()))
        return false;
    const textedit::InOrderRemoval& removal = removalOf(&operation);
    const qsizetype offset = writer.taken() - base;
    const std::size_t size = writer.takenSize();
    // The document's nodes point into the bytes: they go before the bytes are edited.
    reply.reset();
    std::size_t length = size;
    const std::size_t start = remove ? removal.apply(bytes.data() + offset, size, length) : 0;
    text = std::move(bytes);
    // Moved to the front of the bytes, whose unused end is then given back: the escaped
    // reply is a good part larger than its text, and the rows are read while it is held.
    keepOnly(text, offset + static_cast<qsizetype>(start), length);
    return true;
}

} // namespace

QByteArray dataSetText(Operation operation, pugi::xml_document& reply, QByteArray& bytes)
{
    QByteArray text;
    if (!cutOut(operation, reply, bytes, true, text))
        return dataSetText(operation, reply, static_cast<std::size_t>(bytes.size()));
    return text;
}

namespace {

/**
 * The rows of a text set aside, read where it stands escaped in @p bytes, when the
 * plain reading takes it whole and meets no tag the operation's unwrapping removes,
 * and the envelope and the operation's tags around it are removed whole: then the
 * text the unwrapping gives is that text unescaped, and the rows are its rows. False,
 * with nothing changed, otherwise.
 */
bool readSetAside(Operation operation, pugi::xml_document& reply, QByteArray& bytes,
                  std::shared_ptr<DataSetWalk::Document>& rows, const XmlText::SetAside& aside)
{
    const std::vector<std::string>& watched = watchedNamesOf(operation);
    if (watched.empty())
        return false;
    // The envelope around the stand-in first: a few tags, where the reading is the whole text.
    ByteArrayOut out;
    UnescapingWriter writer(out);
    writer.takeStandIn(aside.standIn);
    if (!XmlText::serialiseWith(reply, out.text, writer) || !writer.taken()
        || !removedWhole(operation, out.text, writer.takenAt()))
        return false;
    // The plain reading refuses any "<?": a text it takes has no declaration for the writer to rewrite.
    auto read = std::make_shared<DataSetWalk::Document>();
    read->watchNames(watched);
    if (!read->loadEscaped(bytes, aside.from, aside.to) || !read->plainDataSet() || read->watchedSeen())
        return false;
    // The rows hold the bytes they are read from; the nodes go.
    reply.reset();
    bytes = QByteArray();
    rows = std::move(read);
    return true;
}

} // namespace

bool readDataSet(Operation operation, pugi::xml_document& reply, QByteArray& bytes, QByteArray& text,
                 std::shared_ptr<DataSetWalk::Document>& rows, XmlText::SetAside& aside)
{
    if (!aside)
        return readDataSet(operation, reply, bytes, text, rows);
    rows.reset();
    text = QByteArray();
    if (readSetAside(operation, reply, bytes, rows, aside))
        return true;
    aside.refused = true;
    return false;
}

bool readDataSet(Operation operation, pugi::xml_document& reply, QByteArray& bytes, QByteArray& text,
                 std::shared_ptr<DataSetWalk::Document>& rows)
{
    rows.reset();
    const std::vector<std::string>& watched = watchedNamesOf(operation);
    if (watched.empty() || !cutOut(operation, reply, bytes, false, text)) {
        text = dataSetText(operation, reply, bytes);
        // The nodes and the received bytes go before the rows are read.
        reply.reset();
        bytes = QByteArray();
        return holdsDataSet(operation, text, rows);
    }
    {
        // Every "<" of a text the plain scan reads begins an element, save one in an attribute
        // value; every removed pattern begins with "<" and a tag name. Met by neither, no
        // pattern occurs in the text, and removing them would leave it as it is.
        auto plain = std::make_shared<DataSetWalk::Document>();
        plain->watchNames(watched);
        if (plain->load(text) && plain->plainDataSet() && !plain->watchedSeen()) {
            rows = std::move(plain);
            return true;
        }
    }
    text = removedInPlace(std::move(text), removalOf(&operation));
    return holdsDataSet(operation, text, rows);
}

bool holdsDataSet(Operation operation, const QByteArray& text)
{
    std::shared_ptr<DataSetWalk::Document> rows;
    return holdsDataSet(operation, text, rows);
}

bool holdsDataSet(Operation operation, const QByteArray& text, std::shared_ptr<DataSetWalk::Document>& rows)
{
    rows.reset();
    // Told without a copy of the text where it can be.
    if (std::all_of(text.cbegin(), text.cend(), [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }))
        return true;
    // The usual answer: plain elements and text under Root / DataSet, told by the scan that
    // reads the rows, without the parser's copy of a large text and its nodes.
    {
        auto plain = std::make_shared<DataSetWalk::Document>();
        if (plain->load(text) && plain->plainDataSet()) {
            rows = std::move(plain);
            return true;
        }
    }
    pugi::xml_document document;
    if (!document.load_buffer(text.constData(), static_cast<std::size_t>(text.size()),
                              pugi::parse_default | pugi::parse_doctype, pugi::encoding_utf8))
        return false;
    bool rooted = false;
    for (const pugi::xml_node node : document.children()) {
        if (node.type() == pugi::node_doctype)
            return false;
        if (node.type() == pugi::node_element) {
            // "<OpResult />": the service's empty result, nothing to read.
            const bool emptyResult = node.name() == std::string(operationName(operation)) + "Result"
                && !node.first_child() && !node.first_attribute();
            if (rooted || (!emptyResult && (std::strcmp(node.name(), "Root") != 0 || !node.child("DataSet"))))
                return false;
            rooted = true;
        } else if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
            return false;
        }
    }
    return rooted;
}

} // namespace palletry::Unwrap
