#pragma once

// Text surgery shared by the reply unwrappers: literal search and in-place
// removal over UTF-8 (raw reply) text. All patterns are ASCII, so working on
// UTF-8 bytes gives the same result as on characters.

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace palletry::textedit {

/// One ASCII literal.
class Pattern
{
public:
    explicit Pattern(std::string ascii)
        : m_utf8(std::move(ascii))
    {
    }

    template <typename Char>
    std::basic_string_view<Char> view() const
    {
        static_assert(std::is_same_v<Char, char>, "UTF-8 only");
        return m_utf8;
    }

private:
    std::string m_utf8;
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

/**
 * Removes @p patterns from data[0, size) one after the other, each (every occurrence, one pass, in the text the earlier removals left,
 * so that text joined by an earlier removal is found by a later one), and
 * tells where the result lies. The text is read once to find where any pattern
 * occurs, and the sequential passes are replayed on those few places.
 *
 * Why that is exact: when a pattern's first character occurs nowhere else in
 * it, two of its occurrences never overlap, so a pass removes all of them,
 * wherever they are. An occurrence in a later text lies either wholly between
 * two removed places (then it is an occurrence of the original text there) or
 * across a place where a removal joined two parts; in that case it starts at
 * the last occurrence of its first character before the join. Patterns of
 * another shape, or a text where the patterns occur very often, take the
 * sequential passes themselves.
 */
class InOrderRemoval
{
public:
    InOrderRemoval(const Pattern* const* patterns, std::size_t count)
        : m_patterns(patterns, patterns + count)
    {
        for (const Pattern* p : m_patterns) {
            const std::string_view v = p->view<char>();
            if (v.empty() || v.find(v.front(), 1) != std::string_view::npos)
                m_sequentialOnly = true;
        }
    }

    /// Edits data[0, size); the result is data[start, start + length), where start is returned.
    std::size_t apply(char* data, std::size_t size, std::size_t& length) const
    {
        length = size;
        if (m_sequentialOnly) {
            length = sequential(data, size);
            return 0;
        }
        std::vector<Hit> hits;
        if (!findAll(data, size, hits)) {
            length = sequential(data, size);
            return 0;
        }
        if (hits.empty())
            return 0;

        Removed removed;
        std::vector<Range> found;
        for (std::size_t k = 0; k < m_patterns.size(); ++k) {
            const std::string_view p = m_patterns[k]->view<char>();
            found.clear();
            // Occurrences that no removal has touched.
            for (const Hit& h : hits)
                if (h.pattern == k && !removed.intersects(h.at, h.at + p.size()))
                    found.push_back(Range{h.at, h.at + p.size()});
            // Occurrences across a join: one candidate start before each join.
            for (const Range& r : removed.ranges) {
                std::size_t start, end;
                if (r.begin > 0 && removed.lastBefore(data, r.begin, p, start)
                    && removed.matchesAt(data, size, start, p, end))
                    found.push_back(Range{start, end});
            }
            // All found before any is removed: they are the occurrences in this pass's text.
            for (const Range& r : found)
                removed.add(r.begin, r.end);
        }
        return removed.compact(data, size, length);
    }

private:
    struct Hit
    {
        std::size_t at;
        std::size_t pattern;
    };
    struct Range
    {
        std::size_t begin, end;
    };

    /// The removed places of the original text, sorted and disjoint.
    struct Removed
    {
        std::vector<Range> ranges;

        bool intersects(std::size_t b, std::size_t e) const
        {
            auto it = std::lower_bound(ranges.begin(), ranges.end(), b,
                                       [](const Range& r, std::size_t v) { return r.end <= v; });
            return it != ranges.end() && it->begin < e;
        }

        /// The kept position before @p pos, skipping removed places; false at the start.
        bool previousKept(std::size_t& pos) const
        {
            while (pos > 0) {
                --pos;
                auto it = std::upper_bound(ranges.begin(), ranges.end(), pos,
                                           [](std::size_t v, const Range& r) { return v < r.end; });
                if (it != ranges.end() && it->begin <= pos) {
                    pos = it->begin;
                    continue;
                }
                return true;
            }
            return false;
        }

        /// The last kept position before @p join holding the pattern's first character, within reach of the join.
        bool lastBefore(const char* data, std::size_t join, std::string_view p, std::size_t& start) const
        {
            std::size_t pos = join;
            for (std::size_t back = 1; back < p.size(); ++back) {
                if (!previousKept(pos))
                    return false;
                if (data[pos] == p.front()) {
                    start = pos;
                    return true;
                }
            }
            return false;
        }

        /// Whether the kept text from @p start reads @p p, reaching across removed places; @p end is where it stops.
        bool matchesAt(const char* data, std::size_t size, std::size_t start, std::string_view p,
                       std::size_t& end) const
        {
            auto it = std::upper_bound(ranges.begin(), ranges.end(), start,
                                       [](std::size_t v, const Range& r) { return v < r.begin; });
            std::size_t pos = start;
            bool crossed = false;
            for (char c : p) {
                while (it != ranges.end() && it->begin == pos) {
                    pos = it->end;
                    ++it;
                    crossed = true;
                }
                if (pos >= size || data[pos] != c)
                    return false;
                ++pos;
            }
            end = pos;
            return crossed;
        }

        void add(std::size_t b, std::size_t e)
        {
            auto it = std::lower_bound(ranges.begin(), ranges.end(), b,
                                       [](const Range& r, std::size_t v) { return r.end < v; });
            auto last = it;
            while (last != ranges.end() && last->begin <= e) {
                b = std::min(b, last->begin);
                e = std::max(e, last->end);
                ++last;
            }
            it = ranges.erase(it, last);
            ranges.insert(it, Range{b, e});
        }

        /**
         * Joins the kept parts. The largest stays where it is: the parts before it
         * move up to it and the parts after it down, so a large text between
         * small removals is not moved at all. Returns where the result begins.
         */
        std::size_t compact(char* data, std::size_t size, std::size_t& length) const
        {
            std::vector<Range> kept;
            std::size_t from = 0;
            for (const Range& r : ranges) {
                if (r.begin > from)
                    kept.push_back(Range{from, r.begin});
                from = r.end;
            }
            if (size > from)
                kept.push_back(Range{from, size});
            length = 0;
            if (kept.empty())
                return 0;
            std::size_t largest = 0;
            for (std::size_t i = 0; i < kept.size(); ++i) {
                length += kept[i].end - kept[i].begin;
                if (kept[i].end - kept[i].begin > kept[largest].end - kept[largest].begin)
                    largest = i;
            }
            std::size_t write = kept[largest].end;
            for (std::size_t i = largest + 1; i < kept.size(); ++i) {
                std::memmove(data + write, data + kept[i].begin, kept[i].end - kept[i].begin);
                write += kept[i].end - kept[i].begin;
            }
            std::size_t start = kept[largest].begin;
            for (std::size_t i = largest; i-- > 0;) {
                start -= kept[i].end - kept[i].begin;
                std::memmove(data + start, data + kept[i].begin, kept[i].end - kept[i].begin);
            }
            return start;
        }
    };

    /// Every occurrence of every pattern in the original text, by position; false when there are too many.
    bool findAll(const char* data, std::size_t size, std::vector<Hit>& hits) const
    {
        constexpr std::size_t MaxHits = 4096;
        // Candidates: a pattern's first byte followed by its second (one-byte patterns: the first alone).
        auto check = [&](std::size_t at) {
            for (std::size_t k = 0; k < m_patterns.size(); ++k) {
                const std::string_view p = m_patterns[k]->view<char>();
                if (size - at >= p.size() && std::memcmp(data + at, p.data(), p.size()) == 0)
                    hits.push_back(Hit{at, k});
            }
            return hits.size() <= MaxHits;
        };
        unsigned char firsts[256] = {};
        bool anyShort = false;
        for (const Pattern* p : m_patterns) {
            const std::string_view v = p->view<char>();
            firsts[static_cast<unsigned char>(v[0])] = 1;
            anyShort = anyShort || v.size() < 3;
        }
        std::size_t i = 0;
#if defined(__SSE2__)
        // Sixteen places at a time: a first byte whose next two bytes begin some pattern.
        if (!anyShort && size >= 18) {
            struct Prefix
            {
                __m128i a, b, c;
            };
            std::vector<Prefix> prefixes;
            std::vector<std::string_view> seen;
            for (const Pattern* p : m_patterns) {
                const std::string_view v = p->view<char>().substr(0, 3);
                if (std::find(seen.begin(), seen.end(), v) != seen.end())
                    continue;
                seen.push_back(v);
                prefixes.push_back(Prefix{_mm_set1_epi8(v[0]), _mm_set1_epi8(v[1]), _mm_set1_epi8(v[2])});
            }
            for (; i + 18 <= size; i += 16) {
                const __m128i x0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
                const __m128i x1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i + 1));
                const __m128i x2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i + 2));
                __m128i any = _mm_setzero_si128();
                for (const Prefix& p : prefixes)
                    any = _mm_or_si128(any, _mm_and_si128(_mm_cmpeq_epi8(x0, p.a),
                                                          _mm_and_si128(_mm_cmpeq_epi8(x1, p.b), _mm_cmpeq_epi8(x2, p.c))));
                unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(any));
                while (mask) {
                    const unsigned bit = static_cast<unsigned>(__builtin_ctz(mask));
                    if (!check(i + bit))
                        return false;
                    mask &= mask - 1;
                }
            }
        }
#endif
        for (; i < size; ++i)
            if (firsts[static_cast<unsigned char>(data[i])] && !check(i))
                return false;
        return true;
    }

    std::size_t sequential(char* data, std::size_t size) const
    {
        for (const Pattern* p : m_patterns) {
            const std::string_view needle = p->view<char>();
            if (needle.empty())
                continue;
            const char* hit = Search<char>::find(data, data + size, needle);
            if (hit != data + size)
                size = compactRemoving(data, size, static_cast<std::size_t>(hit - data), needle);
        }
        return size;
    }

    std::vector<const Pattern*> m_patterns;
    bool m_sequentialOnly = false;
};

} // namespace palletry::textedit
