#include "core/DataSetWalk.h"

#include "core/XmlText.h"

#include <pugixml.hpp>

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>
#include <unordered_map>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace palletry {
namespace {

// The rows are the elements at the end of this path from the document element down.
constexpr std::string_view RowPath[] = {"Root", "DataSet", "diffgr:diffgram", "NewDataSet", "Table"};
constexpr std::size_t RowDepth = std::size(RowPath);

bool named(const pugi::xml_node& node, std::string_view name)
{
    return node.type() == pugi::node_element && node.name() == name;
}

bool isText(const pugi::xml_node& node)
{
    return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
}

// The text run from @p from on as the text made of it reads it. Markup ends any character: where
// a run's bytes are no UTF-8, they must not join the next run's into a character they never formed.
void keepRunValid(std::string& gathered, std::size_t from)
{
    const QByteArrayView run(gathered.data() + from, qsizetype(gathered.size() - from));
    if (run.isValidUtf8())
        return;
    const QByteArray valid = QString::fromUtf8(run).toUtf8();
    gathered.resize(from);
    gathered.append(valid.constData(), std::size_t(valid.size()));
}

// The element's whole text content: every text and CDATA descendant, in order.
// An element's first text may be held as its own value (loadInPlaceForReading);
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

/// Whether @p a and @p b hold the same bytes: names are short, and a call to memcmp costs more than the compare.
bool sameBytes(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    const char* p = a.data();
    const char* q = b.data();
    std::size_t n = a.size();
    for (; n >= 8; n -= 8, p += 8, q += 8) {
        std::uint64_t x = 0, y = 0;
        std::memcpy(&x, p, 8);
        std::memcpy(&y, q, 8);
        if (x != y)
            return false;
    }
    for (; n; --n)
        if (*p++ != *q++)
            return false;
    return true;
}

/// Calls @p visit(nullptr) where a row begins and @p visit(&child) for each of its child elements, in document order.
template <typename Visit>
int forEachRowChild(const pugi::xml_node& parent, std::size_t depth, Visit& visit)
{
    int rows = 0;
    for (pugi::xml_node node : parent.children()) {
        if (!named(node, RowPath[depth]))
            continue;
        if (depth + 1 < RowDepth) {
            rows += forEachRowChild(node, depth + 1, visit);
            continue;
        }
        visit(nullptr);
        for (pugi::xml_node cell = node.first_child(); cell; cell = cell.next_sibling())
            if (cell.type() == pugi::node_element)
                visit(&cell);
        ++rows;
    }
    return rows;
}

/// Numbers names in the order first seen.
class NameIndex
{
public:
    explicit NameIndex(std::vector<std::string_view>& names)
        : m_names(names)
    {
    }

    std::uint32_t operator()(std::string_view name)
    {
        // Rows repeat their columns in one order: the name after the last one is the likely one,
        // and after the last column the first.
        std::uint32_t next = m_last + 1;
        if (next >= m_names.size())
            next = 0;
        if (next < m_names.size() && sameBytes(m_names[next], name))
            return m_last = next;
        const auto [it, added] = m_ids.try_emplace(name, std::uint32_t(m_names.size()));
        if (added)
            m_names.push_back(name);
        return m_last = it->second;
    }

private:
    std::vector<std::string_view>& m_names;
    std::unordered_map<std::string_view, std::uint32_t> m_ids;
    std::uint32_t m_last = ~0u;
};

// Byte classes of the plain reading. Names are ASCII only here: the parser
// also takes any byte above 127 in a name, which the plain reading leaves to it.
enum : unsigned char { Space = 1, NameStart = 2, NameChar = 4 };

constexpr auto byteClasses = [] {
    std::array<unsigned char, 256> classes{};
    for (const unsigned char c : {' ', '\t', '\n', '\r'})
        classes[c] = Space;
    for (int c = 0; c < 256; ++c) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (letter || c == '_' || c == ':')
            classes[std::size_t(c)] = NameStart | NameChar;
        else if ((c >= '0' && c <= '9') || c == '-' || c == '.')
            classes[std::size_t(c)] = NameChar;
    }
    return classes;
}();

bool is(char c, unsigned char byteClass)
{
    return byteClasses[static_cast<unsigned char>(c)] & byteClass;
}

// The scanning below looks at sixteen bytes at a time where it can: the
// answer is mostly short names, values and texts between tags.
/// The first @p c in [p, end), or end.
const char* find(const char* p, const char* end, char c)
{
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi8(c);
    for (; end - p >= 16; p += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        if (const int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, wanted)))
            return p + __builtin_ctz(unsigned(mask));
    }
#endif
    while (p < end && *p != c)
        ++p;
    return p;
}

/// The end of the run of name bytes (as the plain reading takes them) that starts at @p p.
const char* skipName(const char* p, const char* end)
{
#if defined(__SSE2__)
    for (; end - p >= 16; p += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        auto within = [](__m128i v, char low, char high) {
            return _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8(char(low - 1))),
                                 _mm_cmplt_epi8(v, _mm_set1_epi8(char(high + 1))));
        };
        auto equal = [&](char c) { return _mm_cmpeq_epi8(x, _mm_set1_epi8(c)); };
        const __m128i name = _mm_or_si128(
            _mm_or_si128(within(_mm_or_si128(x, _mm_set1_epi8(0x20)), 'a', 'z'), within(x, '0', '9')),
            _mm_or_si128(_mm_or_si128(equal('_'), equal(':')), _mm_or_si128(equal('-'), equal('.'))));
        if (const int other = ~_mm_movemask_epi8(name) & 0xffff)
            return p + __builtin_ctz(unsigned(other));
    }
#endif
    while (p < end && is(*p, NameChar))
        ++p;
    return p;
}

void appendUtf8(std::string& out, std::uint32_t code)
{
    // As the parser writes a character reference: four bytes above U+FFFF, whatever the number.
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xc0 | (code >> 6));
        out += char(0x80 | (code & 0x3f));
    } else if (code < 0x10000) {
        out += char(0xe0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3f));
        out += char(0x80 | (code & 0x3f));
    } else {
        out += char(std::uint8_t(0xf0 | (code >> 18)));
        out += char(0x80 | ((code >> 12) & 0x3f));
        out += char(0x80 | ((code >> 6) & 0x3f));
        out += char(0x80 | (code & 0x3f));
    }
}

/**
 * Appends the text [p, end) as the parser reads it: "\r\n" and a lone "\r" as
 * "\n", the five predefined entities and character references replaced, any
 * other "&" kept as it is. False for a reference to U+0000, where the parser's
 * value would end.
 */
bool appendDecoded(std::string& out, const char* p, const char* end)
{
    static constexpr std::pair<std::string_view, char> entities[] = {
        {"amp;", '&'}, {"apos;", '\''}, {"gt;", '>'}, {"lt;", '<'}, {"quot;", '"'}};
    while (p < end) {
        const char* run = p;
        while (p < end && *p != '&' && *p != '\r')
            ++p;
        out.append(run, std::size_t(p - run));
        if (p == end)
            break;
        if (*p == '\r') {
            out += '\n';
            p += (p + 1 < end && p[1] == '\n') ? 2 : 1;
            continue;
        }
        const std::string_view rest(p + 1, std::size_t(end - p - 1));
        bool replaced = false;
        for (const auto& [name, c] : entities) {
            if (rest.substr(0, name.size()) == name) {
                out += c;
                p += 1 + name.size();
                replaced = true;
                break;
            }
        }
        if (replaced)
            continue;
        if (rest.size() >= 2 && rest[0] == '#') {
            const bool hex = rest[1] == 'x';
            const char* q = p + (hex ? 3 : 2);
            std::uint32_t code = 0;
            const char* digits = q;
            for (; q < end; ++q) {
                const unsigned digit = unsigned(*q - '0');
                const unsigned letter = unsigned((*q | ' ') - 'a');
                if (digit <= 9)
                    code = (hex ? 16 : 10) * code + digit;
                else if (hex && letter <= 5)
                    code = 16 * code + letter + 10;
                else
                    break;
            }
            if (q > digits && q < end && *q == ';') {
                if (code == 0)
                    return false;
                appendUtf8(out, code);
                p = q + 1;
                continue;
            }
        }
        out += '&'; // not a reference: kept, and the text goes on after it
        ++p;
    }
    return true;
}

} // namespace

DataSetWalk::DataSetWalk(std::initializer_list<const char*> columns)
    : m_columns(columns)
{
}

DataSetWalk::Document::Document() = default;
DataSetWalk::Document::~Document() = default;

void DataSetWalk::Document::clear()
{
    m_text = QByteArray();
    m_copy.reset();
    m_base = nullptr;
    std::vector<Cell>().swap(m_cells);
    std::vector<std::string_view>().swap(m_names);
    std::string().swap(m_gathered);
    std::string().swap(m_nameText);
    m_loaded = false;
    m_plainDataSet = false;
    m_watchedSeen = true;
}

void DataSetWalk::Document::compact()
{
    if (!m_loaded || m_text.isEmpty() || !m_text.isDetached() || m_base != m_text.constData())
        return;
    // The names lie in the markup: they move to a place of their own first.
    std::size_t nameBytes = 0;
    for (const std::string_view name : m_names)
        nameBytes += name.size();
    m_nameText.reserve(nameBytes);
    for (std::string_view& name : m_names) {
        const std::size_t at = m_nameText.size();
        m_nameText.append(name);
        name = std::string_view(m_nameText.data() + at, name.size());
    }
    // The texts lie in the order of their cells: each moves down over markup already passed.
    char* const data = m_text.data();
    std::size_t kept = 0;
    for (Cell& cell : m_cells) {
        if (cell.name == RowStart || (cell.at & InGathered) || cell.size == 0)
            continue;
        std::memmove(data + kept, data + cell.at, cell.size);
        cell.at = kept;
        kept += cell.size;
    }
    m_text.truncate(qsizetype(kept));
    m_text.squeeze();
    m_base = m_text.constData();
}

bool DataSetWalk::Document::load(const QByteArray& text)
{
    clear();
    m_text = text;
    m_loaded = readPlain();
    if (!m_loaded) {
        // Anything beyond plain elements, attributes and text (or not well-formed) is the parser's to decide.
        clear();
        m_text = text;
        m_loaded = loadWithNodes();
    }
    if (!m_loaded)
        clear();
    return m_loaded;
}

namespace {

/// The text as it is: the plain reading's characters are its bytes.
struct PlainSource
{
    static constexpr std::size_t LessLength = 1;

    /// The next "<" from @p p, or end; @p fail is never set here.
    static const char* textEnd(const char* p, const char* end, bool& /*plain*/, bool& /*fail*/)
    {
        return find(p, end, '<');
    }
    /// Whether [b, e) is its own value (no reference, no line end to convert).
    static bool plainRun(const char* b, const char* e, bool /*scanned*/)
    {
        return std::find_if(b, e, [](char c) { return c == '&' || c == '\r'; }) == e;
    }
    static std::size_t greaterAt(const char* p, const char* end) { return p < end && *p == '>' ? 1 : 0; }
    static std::size_t quoteAt(const char* p, const char* end, char& quote)
    {
        if (p == end || (*p != '"' && *p != '\''))
            return 0;
        quote = *p;
        return 1;
    }
    /// The closing @p quote from @p p, or end; @p less tells whether a "<" came before it.
    static const char* quoteEnd(const char* p, const char* end, char quote, std::size_t& length, bool& less, bool& /*fail*/)
    {
        const char* close = find(p, end, quote);
        less = find(p, close, '<') != close;
        length = 1;
        return close;
    }
    static bool appendText(std::string& out, const char* b, const char* e, std::string& /*scratch*/)
    {
        return appendDecoded(out, b, e);
    }
};

/**
 * A text node's content as it stands escaped in a reply, read as the text that its
 * unescaping gives: "&lt;" stands for "<", "&gt;" or ">" for ">", "&quot;" and "&apos;"
 * or the quotes themselves for quotes. It gives up (fail) at what would make the text
 * anything but one text node's content (a "<" or a NUL byte) and at a character
 * reference outside an element's tag, which could stand for markup.
 */
struct EscapedSource
{
    static constexpr std::size_t LessLength = 4;

    static bool at(const char* p, const char* end, std::string_view word)
    {
        if (std::size_t(end - p) < word.size())
            return false;
        // The first four bytes tell most apart: compared as one word.
        std::uint32_t have = 0, want = 0;
        std::memcpy(&have, p, 4);
        std::memcpy(&want, word.data(), 4);
        if (have != want)
            return false;
        for (std::size_t i = 4; i < word.size(); ++i)
            if (p[i] != word[i])
                return false;
        return true;
    }

    static const char* textEnd(const char* p, const char* end, bool& plain, bool& fail)
    {
        // Most tags follow one another with no text between.
        if (at(p, end, "&lt;"))
            return p;
        for (;;) {
            p = findSpecial(p, end);
            if (p == end)
                return end;
            if (*p == '&') {
                if (at(p, end, "&lt;"))
                    return p;
                if (std::size_t(end - p) >= 2 && p[1] == '#') {
                    fail = true;
                    return end;
                }
                plain = false;
            } else if (*p == '\r') {
                plain = false;
            } else { // "<" or NUL
                fail = true;
                return end;
            }
            ++p;
        }
    }
    static bool plainRun(const char* /*b*/, const char* /*e*/, bool scanned) { return scanned; }
    static std::size_t greaterAt(const char* p, const char* end)
    {
        if (p < end && *p == '>')
            return 1;
        return at(p, end, "&gt;") ? 4 : 0;
    }
    static std::size_t quoteAt(const char* p, const char* end, char& quote)
    {
        if (p < end && (*p == '"' || *p == '\'')) {
            quote = *p;
            return 1;
        }
        if (at(p, end, "&quot;")) {
            quote = '"';
            return 6;
        }
        if (at(p, end, "&apos;")) {
            quote = '\'';
            return 6;
        }
        return 0;
    }
    static const char* quoteEnd(const char* p, const char* end, char quote, std::size_t& length, bool& less, bool& fail)
    {
        less = false;
        const std::string_view entity = quote == '"' ? "&quot;" : "&apos;";
        for (; p < end; ++p) {
            p = findSpecial(p, end, quote);
            if (p == end)
                break;
            if (*p == quote) {
                length = 1;
                return p;
            }
            if (*p == '<' || *p == '\0') {
                fail = true;
                return end;
            }
            if (at(p, end, entity)) {
                length = entity.size();
                return p;
            }
            if (at(p, end, "&lt;")) {
                less = true;
            } else if (std::size_t(end - p) >= 2 && p[1] == '#') {
                fail = true;
                return end;
            }
        }
        return end;
    }
    /// The value twice unescaped: as the reply's parser gives the text, then as the text's own parser reads it.
    static bool appendText(std::string& out, const char* b, const char* e, std::string& once)
    {
        once.clear();
        return appendDecoded(once, b, e) && appendDecoded(out, once.data(), once.data() + once.size());
    }

    /// The first "&", "<", NUL or @p also (a carriage return, or a quote) in [p, end), or end.
    static const char* findSpecial(const char* p, const char* end, char also = '\r')
    {
#if defined(__SSE2__)
        const __m128i amp = _mm_set1_epi8('&');
        const __m128i less = _mm_set1_epi8('<');
        const __m128i zero = _mm_setzero_si128();
        const __m128i cr = _mm_set1_epi8(also);
        for (; end - p >= 16; p += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, amp), _mm_cmpeq_epi8(v, less)),
                                             _mm_or_si128(_mm_cmpeq_epi8(v, zero), _mm_cmpeq_epi8(v, cr)));
            if (const int mask = _mm_movemask_epi8(hit))
                return p + __builtin_ctz(unsigned(mask));
        }
#endif
        while (p < end && *p != '&' && *p != '<' && *p != '\0' && *p != also)
            ++p;
        return p;
    }
};

} // namespace

bool DataSetWalk::Document::readPlain()
{
    const char* const begin = m_text.constData();
    const char* const end = begin + m_text.size();
    if (std::memchr(begin, 0, std::size_t(m_text.size())))
        return false;
    return read<PlainSource>(begin, end);
}

bool DataSetWalk::Document::loadEscaped(const QByteArray& bytes, std::size_t from, std::size_t to)
{
    clear();
    if (from > to || to > std::size_t(bytes.size()))
        return false;
    m_text = bytes;
    const char* const begin = m_text.constData();
    m_loaded = read<EscapedSource>(begin + from, begin + to);
    if (m_loaded)
        m_base = begin;
    else
        clear();
    return m_loaded;
}

/*
 * One forward reading of the text that takes only what it can decide exactly
 * as the parser does: elements with ASCII names, attributes, text and the five
 * entities and character references. It gives up (false) at anything else, at
 * anything not well-formed and at a NUL byte, leaving the decision to the parser.
 * Cells lie at their offsets from m_text's start.
 */
template <typename Source>
bool DataSetWalk::Document::read(const char* const textBegin, const char* const end)
{
    const char* const begin = m_text.constData();
    m_watchedSeen = false;
    // The watched names' lengths as bits: most names are told apart by their length alone.
    std::uint64_t watchedLengths = 0;
    for (const std::string& w : m_watched)
        watchedLengths |= w.size() < 64 ? std::uint64_t(1) << w.size() : std::uint64_t(1) << 63;
    auto watch = [&](std::string_view name) {
        const std::size_t bit = std::min<std::size_t>(name.size(), 63);
        if (!(watchedLengths >> bit & 1))
            return;
        for (const std::string& w : m_watched)
            if (w == name)
                m_watchedSeen = true;
    };
    NameIndex nameIndex(m_names);
    m_cells.reserve(std::size_t(end - textBegin) / 32 + 16); // about a cell in every 60 bytes of a vendor list
    // Fields are stored one by one: a value built whole and copied in costs a stall per element here.
    auto addCell = [&](std::uint32_t name) { m_cells.emplace_back().name = name; };
    std::vector<std::string_view> open; // open[0, depth) are the open elements
    std::size_t depth = 0;
    std::size_t onPath = 0; // how many of the open elements, from the top, are the rows' path
    std::size_t cellDepth = 0; // inside a row's child: its depth
    enum { NoText, InPlace, Gathered } cellText = NoText;
    bool hadElement = false;
    bool fail = false;
    const char* p = textBegin;
    auto skipSpace = [&] {
        while (p < end && is(*p, Space))
            ++p;
    };
    auto opened = [&](std::string_view name) {
        watch(name);
        if (depth == open.size())
            open.emplace_back();
        open[depth] = name;
        if (depth == onPath && depth < RowDepth && sameBytes(name, RowPath[depth])) {
            if (++onPath == RowDepth)
                addCell(RowStart);
            if (onPath == 2) // Root, then DataSet in it
                m_plainDataSet = true;
        } else if (depth == RowDepth && onPath == RowDepth) {
            cellDepth = depth + 1;
            cellText = NoText;
            addCell(nameIndex(name));
        }
        ++depth;
    };
    auto closed = [&] {
        if (depth == cellDepth)
            cellDepth = 0;
        if (depth == onPath)
            --onPath;
        --depth;
    };
    std::string scratch;
    auto addText = [&](const char* b, const char* e, bool scannedPlain) {
        Cell& cell = m_cells.back();
        const bool plain = Source::plainRun(b, e, scannedPlain);
        if (cellText == NoText && plain) {
            cell.at = std::size_t(b - begin);
            cell.size = std::uint32_t(e - b);
            cellText = InPlace;
            return true;
        }
        if (cellText != Gathered) {
            const std::size_t at = m_gathered.size();
            if (cellText == InPlace) {
                m_gathered.append(begin + cell.at, cell.size);
                keepRunValid(m_gathered, at);
            }
            cell.at = at | InGathered;
            cellText = Gathered;
        }
        const std::size_t run = m_gathered.size();
        if (!Source::appendText(m_gathered, b, e, scratch))
            return false;
        keepRunValid(m_gathered, run);
        cell.size = std::uint32_t(m_gathered.size() - (cell.at & ~InGathered));
        return true;
    };

    for (;;) {
        bool scannedPlain = true;
        const char* const textEnd = Source::textEnd(p, end, scannedPlain, fail);
        if (fail)
            return false;
        const char* q = p;
        while (q < textEnd && is(*q, Space))
            ++q;
        if (q < textEnd) { // text, not only white space (which the parser drops)
            if (depth == 0)
                return false;
            if (cellDepth && !addText(p, textEnd, scannedPlain))
                return false;
        }
        if (textEnd == end)
            break;
        p = textEnd + Source::LessLength;
        if (p == end)
            return false;
        if (*p == '/') {
            ++p;
            if (depth == 0)
                return false;
            const std::string_view name = open[depth - 1];
            if (std::size_t(end - p) < name.size() || !sameBytes(std::string_view(p, name.size()), name))
                return false;
            p += name.size();
            skipSpace();
            const std::size_t greater = Source::greaterAt(p, end);
            if (!greater)
                return false;
            p += greater;
            closed();
            continue;
        }
        if (!is(*p, NameStart))
            return false;
        const char* name = p;
        p = skipName(p, end);
        if (depth == 0) {
            if (hadElement)
                return false;
            hadElement = true;
        }
        opened(std::string_view(name, std::size_t(p - name)));
        bool attributes = p < end && is(*p, Space);
        while (attributes) {
            skipSpace();
            if (p == end || !is(*p, NameStart))
                break;
            p = skipName(p, end);
            skipSpace();
            if (p == end || *p != '=')
                return false;
            ++p;
            skipSpace();
            char quote = 0;
            const std::size_t opening = Source::quoteAt(p, end, quote);
            if (!opening)
                return false;
            std::size_t closing = 0;
            bool less = false;
            const char* close = Source::quoteEnd(p + opening, end, quote, closing, less, fail);
            if (fail || close == end)
                return false;
            if (!m_watched.empty() && less)
                m_watchedSeen = true;
            p = close + closing;
            // The parser wants no name right after a value, and anything but white space, "/" or ">" fails later.
            attributes = p < end && is(*p, Space);
        }
        if (const std::size_t greater = Source::greaterAt(p, end)) {
            p += greater;
        } else if (p < end && *p == '/' && Source::greaterAt(p + 1, end)) {
            p += 1 + Source::greaterAt(p + 1, end);
            closed();
        } else {
            return false;
        }
    }
    if (depth != 0 || !hadElement)
        return false;
    m_base = begin;
    return true;
}

bool DataSetWalk::Document::loadWithNodes()
{
    // Bytes that are no UTF-8 read as in the text made of them: each a replacement character,
    // never joined with bytes beyond markup between them into a character they did not form.
    const QByteArray text = m_text.isValidUtf8() ? m_text : QString::fromUtf8(m_text).toUtf8();
    // Parsed in place in a copy of our own; the nodes go as soon as the rows are noted.
    const auto size = static_cast<std::size_t>(text.size());
    m_copy.reset(new char[size + 1]);
    std::memcpy(m_copy.get(), text.constData(), size);
    m_copy[size] = '\0';
    m_text = QByteArray();
    pugi::xml_document document;
    if (!XmlText::loadInPlaceForReading(document, m_copy.get(), size))
        return false;
    m_base = m_copy.get();
    NameIndex nameIndex(m_names);
    std::string scratch;
    auto note = [&](const pugi::xml_node* cell) {
        if (!cell) {
            m_cells.push_back(Cell{0, 0, RowStart});
            return;
        }
        const std::uint32_t name = nameIndex(cell->name());
        const std::string_view value = textContent(*cell, scratch);
        if (value.empty() || (value.data() >= m_base && value.data() < m_base + size)) {
            m_cells.push_back(Cell{value.empty() ? 0 : std::size_t(value.data() - m_base), std::uint32_t(value.size()), name});
        } else {
            m_cells.push_back(Cell{m_gathered.size() | InGathered, std::uint32_t(value.size()), name});
            m_gathered.append(value);
        }
    };
    forEachRowChild(document, 0, note);
    return true;
}

int DataSetWalk::walk(const pugi::xml_document& document, const RowHandler& onRow,
                      const ColumnHandler& onColumn) const
{
    QVector<QString> values(columnCount());
    bool inRow = false;
    std::string scratch;
    auto visit = [&](const pugi::xml_node* cell) {
        QString* valueSlots = values.data();
        if (!cell) {
            if (inRow && onRow)
                onRow(values);
            inRow = true;
            valueSlots = values.data(); // after the handler: it may have kept a copy
            for (int c = 0; c < values.size(); ++c)
                valueSlots[c] = QString();
            return;
        }
        for (int c = 0; c < columnCount(); ++c) {
            if (std::strcmp(cell->name(), m_columns[size_t(c)]) == 0) {
                valueSlots[c] = toQString(textContent(*cell, scratch));
                if (onColumn)
                    onColumn(c, valueSlots[c]);
                break;
            }
        }
    };
    const int rows = forEachRowChild(document, 0, visit);
    if (inRow && onRow)
        onRow(values);
    return rows;
}

int DataSetWalk::walk(Document& document, const RowHandler& onRow, const ColumnHandler& onColumn) const
{
    return walkDocument(document, onRow, onColumn);
}

int DataSetWalk::walkTaking(Document& document, const RowTaker& onRow) const
{
    return walkDocument(document, onRow, {});
}

int DataSetWalk::rowCount(const Document& document)
{
    if (!document.m_loaded)
        return 0;
    return int(std::count_if(document.m_cells.begin(), document.m_cells.end(),
                             [](const Document::Cell& cell) { return cell.name == Document::RowStart; }));
}

template <typename Handler>
int DataSetWalk::walkDocument(Document& document, const Handler& onRow, const ColumnHandler& onColumn) const
{
    if (!document.m_loaded)
        return 0;
    // Each distinct name's column, once: first equal name wins.
    std::vector<int> columnOf(document.m_names.size(), -1);
    for (std::size_t n = 0; n < columnOf.size(); ++n) {
        for (int c = 0; c < columnCount(); ++c) {
            if (document.m_names[n] == m_columns[size_t(c)]) {
                columnOf[n] = c;
                break;
            }
        }
    }
    QVector<QString> values(columnCount());
    bool inRow = false;
    int rows = 0;
    for (const Document::Cell& cell : document.m_cells) {
        if (cell.name == Document::RowStart) {
            if (inRow && onRow)
                onRow(values);
            inRow = true;
            ++rows;
            if (values.size() != columnCount()) {
                values = QVector<QString>(columnCount()); // the handler took the row itself
                continue;
            }
            QString* valueSlots = values.data(); // after the handler: it may have kept a copy
            for (int c = 0; c < values.size(); ++c)
                valueSlots[c] = QString();
            continue;
        }
        const int column = columnOf[cell.name];
        if (column < 0)
            continue;
        const bool gathered = cell.at & Document::InGathered;
        const char* base = gathered ? document.m_gathered.data() : document.m_base;
        QString* valueSlots = values.data();
        valueSlots[column] = toQString(std::string_view(base + (cell.at & ~Document::InGathered), cell.size));
        if (onColumn)
            onColumn(column, valueSlots[column]);
    }
    if (inRow && onRow)
        onRow(values);
    document.clear();
    return rows;
}

} // namespace palletry
