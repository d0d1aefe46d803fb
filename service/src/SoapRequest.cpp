#include "SoapRequest.h"

#include "SoapFault.h"
#include "XmlShapeLimit.h"
#include "palletry_service/ReferenceService.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace palletry_service {

namespace {

constexpr const char* SoapEnvelopeNamespace = "http://schemas.xmlsoap.org/soap/envelope/";

std::string_view localName(pugi::xml_node node)
{
    const std::string_view name = node.name();
    const auto colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// The namespace URI of an element, found from the declarations in scope.
std::string namespaceOf(pugi::xml_node node)
{
    const std::string_view name = node.name();
    const auto colon = name.find(':');
    const std::string attribute =
        colon == std::string_view::npos ? std::string("xmlns") : "xmlns:" + std::string(name.substr(0, colon));
    for (pugi::xml_node n = node; n && n.type() == pugi::node_element; n = n.parent()) {
        if (const pugi::xml_attribute a = n.attribute(attribute.c_str()))
            return a.value();
    }
    return {};
}

pugi::xml_node firstElement(pugi::xml_node parent)
{
    for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling())
        if (n.type() == pugi::node_element)
            return n;
    return {};
}

std::string_view trimmed(std::string_view text)
{
    constexpr std::string_view blanks = " \t\r\n";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

// Offset of the first "&" that does not start a character or predefined entity reference,
// outside comments and CDATA sections; -1 when there is none.
std::ptrdiff_t badReference(std::string_view text)
{
    static constexpr std::string_view named[] = {"amp;", "lt;", "gt;", "quot;", "apos;"};
    // A plain loop: find_first_of calls memchr on its set for every byte of a megabyte body.
    const auto nextMarkup = [&](std::size_t from) {
        const auto at = std::find_if(text.begin() + from, text.end(), [](char c) { return c == '&' || c == '<'; });
        return at == text.end() ? std::string_view::npos : static_cast<std::size_t>(at - text.begin());
    };
    std::size_t i = 0;
    while ((i = nextMarkup(i)) != std::string_view::npos) {
        if (text[i] == '<') {
            const std::string_view rest = text.substr(i);
            std::string_view close;
            if (rest.rfind("<!--", 0) == 0)
                close = "-->";
            else if (rest.rfind("<![CDATA[", 0) == 0)
                close = "]]>";
            if (close.empty()) {
                ++i;
                continue;
            }
            const auto end = text.find(close, i);
            if (end == std::string_view::npos)
                return -1; // the parser has judged unterminated sections already
            i = end + close.size();
            continue;
        }
        const std::string_view rest = text.substr(i + 1);
        bool ok = false;
        for (const auto name : named)
            ok = ok || rest.rfind(name, 0) == 0;
        if (!ok && !rest.empty() && rest[0] == '#') {
            const bool hex = rest.size() > 1 && rest[1] == 'x';
            const std::size_t start = hex ? 2 : 1;
            std::size_t j = start;
            while (j < rest.size() && (hex ? std::isxdigit(static_cast<unsigned char>(rest[j]))
                                           : std::isdigit(static_cast<unsigned char>(rest[j]))))
                ++j;
            ok = j > start && j < rest.size() && rest[j] == ';';
        }
        if (!ok)
            return static_cast<std::ptrdiff_t>(i);
        ++i;
    }
    return -1;
}

} // namespace

SoapRequest::SoapRequest(const std::string& body) : body_(body)
{
    if (const auto tooMuch = XmlShapeLimit::exceeded(body))
        throw SoapFault::unreadable(*tooMuch);
    const pugi::xml_parse_result parsed = document_.load_buffer(body.data(), body.size(), pugi::parse_default | pugi::parse_ws_pcdata_single);
    if (body.empty() || (parsed.status == pugi::status_no_document_element))
        throw SoapFault::unreadable("There is an error in XML document (0, 0). ---> Root element is missing.");
    if (!parsed)
        throw SoapFault::unreadable("There is an error in XML document " + position(parsed.offset) + ". ---> "
                                    + parsed.description());
    // pugixml keeps an unknown reference such as "&B" as text; an XML reader does not, and
    // a value holding a bare "&" is the commonest broken request.
    const std::ptrdiff_t bad = badReference(body);
    if (bad >= 0)
        throw SoapFault::unreadable("There is an error in XML document " + position(bad)
                                    + ". ---> An error occurred while parsing EntityName.");

    const pugi::xml_node envelope = document_.document_element();
    if (localName(envelope) != "Envelope" || namespaceOf(envelope) != SoapEnvelopeNamespace)
        throw SoapFault::unreadable("The document element is not a SOAP 1.1 Envelope.");
    // One Body with one operation: which of several would run is not left to their order.
    pugi::xml_node body_element;
    for (pugi::xml_node n = envelope.first_child(); n; n = n.next_sibling()) {
        if (n.type() != pugi::node_element || localName(n) != "Body" || namespaceOf(n) != SoapEnvelopeNamespace)
            continue;
        if (body_element)
            throw SoapFault::unreadable("The SOAP Envelope holds more than one Body.");
        body_element = n;
    }
    if (!body_element)
        throw SoapFault::unreadable("The SOAP Envelope holds no Body.");
    operation_ = firstElement(body_element);
    if (!operation_)
        throw SoapFault::unreadable("The SOAP Body holds no operation element.");
    for (pugi::xml_node n = operation_.next_sibling(); n; n = n.next_sibling())
        if (n.type() == pugi::node_element)
            throw SoapFault::unreadable("The SOAP Body holds more than one operation element.");
}

std::string SoapRequest::operationName() const
{
    return std::string(localName(operation_));
}

std::string SoapRequest::operationNamespace() const
{
    return namespaceOf(operation_);
}

pugi::xml_node SoapRequest::parameter(const char* name) const
{
    pugi::xml_node found;
    for (pugi::xml_node n = operation_.first_child(); n; n = n.next_sibling()) {
        if (n.type() != pugi::node_element || localName(n) != name || namespaceOf(n) != ServiceNamespace)
            continue;
        if (found)
            badValue(n, std::string("The parameter ") + name + " is given more than once.");
        found = n;
    }
    return found;
}

// A value is text only: "10<b>x</b>01" is not read as 1001.
std::string SoapRequest::valueOf(pugi::xml_node node) const
{
    std::string value;
    for (pugi::xml_node n = node.first_child(); n; n = n.next_sibling()) {
        if (n.type() == pugi::node_element)
            badValue(n, "'Element' is an invalid XmlNodeType.");
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata)
            value += n.value();
    }
    return value;
}

std::optional<std::string> SoapRequest::text(const char* name) const
{
    const pugi::xml_node node = parameter(name);
    if (!node)
        return std::nullopt;
    return valueOf(node);
}

std::int32_t SoapRequest::int32(const char* name) const
{
    const pugi::xml_node node = parameter(name);
    if (!node)
        return 0;
    const auto value = parseInt32(text(name).value_or(""));
    if (!value)
        badValue(node, "Input string was not in a correct format.");
    return *value;
}

double SoapRequest::number(const char* name) const
{
    const pugi::xml_node node = parameter(name);
    if (!node)
        return 0;
    const auto value = parseDouble(text(name).value_or(""));
    if (!value)
        badValue(node, "Input string was not in a correct format.");
    return *value;
}

std::vector<std::string> SoapRequest::stringArray(const char* name) const
{
    std::vector<std::string> items;
    const pugi::xml_node array = parameter(name);
    for (pugi::xml_node n = array.first_child(); n; n = n.next_sibling()) {
        if (n.type() == pugi::node_element && localName(n) == "string" && namespaceOf(n) == ServiceNamespace)
            items.push_back(valueOf(n));
    }
    return items;
}

std::optional<std::int32_t> SoapRequest::parseInt32(std::string_view text)
{
    text = trimmed(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.front() == '+')
        return std::nullopt;
    std::int32_t value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<double> SoapRequest::parseDouble(std::string_view text)
{
    text = trimmed(text);
    if (text == "INF")
        return std::numeric_limits<double>::infinity();
    if (text == "-INF")
        return -std::numeric_limits<double>::infinity();
    if (text == "NaN")
        return std::numeric_limits<double>::quiet_NaN();
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    // from_chars would also take "inf" and "nan", which xs:double spells otherwise.
    if (text.empty() || text.find_first_not_of("0123456789.eE+-") != std::string_view::npos)
        return std::nullopt;
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

void SoapRequest::badValue(pugi::xml_node node, const std::string& reason) const
{
    throw SoapFault::unreadable("There is an error in XML document " + position(node.offset_debug()) + ". ---> "
                                + reason);
}

// "(line, column)" of a byte offset into the body, both 1-based.
std::string SoapRequest::position(std::ptrdiff_t offset) const
{
    if (offset < 0)
        return "(0, 0)";
    std::size_t line = 1;
    std::size_t column = 1;
    for (std::size_t i = 0; i < static_cast<std::size_t>(offset) && i < body_.size(); ++i) {
        if (body_[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return "(" + std::to_string(line) + ", " + std::to_string(column) + ")";
}

} // namespace palletry_service
