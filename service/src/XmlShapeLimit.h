#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace palletry_service {

/**
 * Counts the elements, attributes and CDATA sections of an XML text and how deep its
 * elements nest, as the text arrives, without building anything. No operation takes more
 * than a few hundred of them or nests deeper than a handful of levels, but a parsed node
 * costs tens of bytes: a 4 MiB body of a million empty elements would cost some 70 MB as a
 * document. Such a body is refused by its count, before it is parsed or even held whole.
 *
 * The scan only counts; whether the text is well-formed is the parser's call, later.
 */
class XmlShapeLimit {
public:
    static constexpr std::size_t MaxNodes = 100000;
    static constexpr std::size_t MaxDepth = 32;

    /// Takes the next bytes of the text; false once the text has gone beyond a limit.
    bool feed(std::string_view bytes);
    /// Elements, attributes and CDATA sections counted so far.
    std::size_t nodes() const { return nodes_; }
    /// Why the text went beyond a limit; empty while it has not.
    const std::string& reason() const { return reason_; }

    /// The reason a whole text goes beyond a limit, or nullopt.
    static std::optional<std::string> exceeded(std::string_view text);

private:
    enum class State { Text, Open, Bang, StartTag, EndTag, Skip };

    bool exceed(std::string reason);

    State state_ = State::Text;
    std::size_t nodes_ = 0;
    std::size_t depth_ = 0;
    char quote_ = 0;        // in a start tag: the quote of the attribute value being read
    char lastMark_ = 0;     // in a start tag: its last character that is not a blank
    std::string bang_;      // after "<!": what follows, until it tells a comment from CDATA
    char skipRun_ = 0;      // the section being skipped ends with some of these and '>'
    std::size_t skipNeed_ = 0;
    std::size_t skipSeen_ = 0;
    std::string reason_;
};

} // namespace palletry_service
