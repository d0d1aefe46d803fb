#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace palletry_service {

/**
 * A SOAP 1.1 request body, read as an ASMX service reads it: the envelope and body in the
 * SOAP 1.1 namespace, one operation element in the service namespace, parameters as its
 * child elements. Parameters it does not ask for are ignored; a missing parameter takes its
 * type's default (0, or no text). One Body, one operation element, each parameter at most
 * once and holding text only. Every failure throws a client SoapFault.
 */
class SoapRequest {
public:
    /// Parses body. Throws SoapFault for an empty or malformed body or one that holds no
    /// SOAP 1.1 envelope with an operation element.
    explicit SoapRequest(const std::string& body);

    /// Local name of the operation element.
    std::string operationName() const;
    /// Namespace URI of the operation element.
    std::string operationNamespace() const;

    /// The parameter's text; nullopt when the parameter is absent.
    std::optional<std::string> text(const char* name) const;
    /// An xs:int parameter; 0 when absent.
    std::int32_t int32(const char* name) const;
    /// An xs:double parameter; 0 when absent.
    double number(const char* name) const;
    /// The texts of the `string` items of an array parameter, in order.
    std::vector<std::string> stringArray(const char* name) const;

    /// Parses xs:int text (blanks around it allowed, as XmlConvert allows them).
    static std::optional<std::int32_t> parseInt32(std::string_view text);
    /// Parses xs:double text.
    static std::optional<double> parseDouble(std::string_view text);

private:
    pugi::xml_node parameter(const char* name) const;
    std::string valueOf(pugi::xml_node node) const;
    [[noreturn]] void badValue(pugi::xml_node node, const std::string& reason) const;
    std::string position(std::ptrdiff_t offset) const;

    const std::string& body_;
    pugi::xml_document document_;
    pugi::xml_node operation_;
};

} // namespace palletry_service
