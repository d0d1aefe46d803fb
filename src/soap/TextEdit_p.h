#pragma once

// Text surgery shared by the reply unwrappers: literal search and in-place
// removal over UTF-16 (QString) or UTF-8 (raw reply) text. All patterns are
// ASCII, so working on UTF-8 bytes gives the same result as on characters.

#include <QString>
#include <QStringView>

#include <cstring>
#include <string>
#include <string_view>

namespace palletry::textedit {

/// One ASCII literal, held in both encodings.
class Pattern
{
public:
    explicit Pattern(std::string ascii)
        : m_utf8(std::move(ascii))
        , m_utf16(m_utf8.begin(), m_utf8.end())
    {
    }

    template <typename Char>
    std::basic_string_view<Char> view() const
    {
        if constexpr (std::is_same_v<Char, char>)
            return m_utf8;
        else
            return m_utf16;
    }

private:
    std::string m_utf8;
    std::u16string m_utf16;
};

template <typename Char>
struct Search;

template <>
struct Search<char>
{
    static const char* findChar(const char* b, const char* e, char c)
    {
        const void* p = std::memchr(b, c, static_cast<std::size_t>(e - b));
        return p ? static_cast<const char*>(p) : e;
    }
    static const char* find(const char* b, const char* e, std::string_view needle)
    {
        const void* p = ::memmem(b, static_cast<std::size_t>(e - b), needle.data(), needle.size());
        return p ? static_cast<const char*>(p) : e;
    }
};

template <>
struct Search<char16_t>
{
    static const char16_t* findChar(const char16_t* b, const char16_t* e, char c)
    {
        const qsizetype i = QStringView(b, e - b).indexOf(QChar(QLatin1Char(c)));
        return i < 0 ? e : b + i;
    }
    static const char16_t* find(const char16_t* b, const char16_t* e, std::u16string_view needle)
    {
        const qsizetype i = QStringView(b, e - b).indexOf(QStringView(needle.data(), qsizetype(needle.size())));
        return i < 0 ? e : b + i;
    }
};

template <typename Char>
bool startsWith(const Char* p, const Char* e, std::basic_string_view<Char> literal)
{
    return static_cast<std::size_t>(e - p) >= literal.size()
        && std::char_traits<Char>::compare(p, literal.data(), literal.size()) == 0;
}

/**
 * Removes every occurrence of @p needle from data[0, size) in one left-to-right
 * pass, moving the rest down in place; @p first is the position of the first
 * occurrence. Returns the new length.
 */
template <typename Char>
std::size_t compactRemoving(Char* data, std::size_t size, std::size_t first, std::basic_string_view<Char> needle)
{
    std::size_t write = first;
    std::size_t read = first + needle.size();
    for (;;) {
        // Only the unread part [read, size) is searched; writing stays behind it.
        const Char* hit = Search<Char>::find(data + read, data + size, needle);
        const std::size_t keep = static_cast<std::size_t>(hit - (data + read));
        if (keep && write != read)
            std::char_traits<Char>::move(data + write, data + read, keep);
        write += keep;
        if (hit == data + size)
            return write;
        read = static_cast<std::size_t>(hit - data) + needle.size();
    }
}

/// Removes every occurrence of @p pattern from @p text; no copy when there is none.
inline void removeAll(QString& text, const Pattern& pattern)
{
    const std::u16string_view needle = pattern.view<char16_t>();
    const auto* begin = reinterpret_cast<const char16_t*>(text.constData());
    const char16_t* end = begin + text.size();
    const char16_t* hit = Search<char16_t>::find(begin, end, needle);
    if (hit == end)
        return;
    const std::size_t first = static_cast<std::size_t>(hit - begin);
    auto* data = reinterpret_cast<char16_t*>(text.data()); // detaches only now
    text.truncate(static_cast<qsizetype>(compactRemoving(data, static_cast<std::size_t>(text.size()), first, needle)));
}

inline void removeAll(std::string& text, const Pattern& pattern)
{
    const std::string_view needle = pattern.view<char>();
    const char* begin = text.data();
    const char* end = begin + text.size();
    const char* hit = Search<char>::find(begin, end, needle);
    if (hit == end)
        return;
    text.resize(compactRemoving(text.data(), text.size(), static_cast<std::size_t>(hit - begin), needle));
}

} // namespace palletry::textedit
