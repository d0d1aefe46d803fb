#pragma once

#include <QString>

#include <optional>

namespace pugi {
class xml_document;
}

namespace palletry {

/// What the call makes of a reply before trusting it, and of its text before reporting it.
class ReplyChecks
{
public:
    /// Longest text from the network that goes into an error description.
    static constexpr qsizetype MaxNetworkText = 2000;

    /// @p text cut to MaxNetworkText characters, with "…" marking the cut.
    static QString networkText(const QString& text);

    /**
     * The element that confirms a write of @p soapAction ("<namespace>/<operation>"):
     * "<operation>Response", in that namespace, as an ASMX service answers a void operation.
     */
    static QString writeResponseName(const QString& soapAction);

    /// The fault string when @p reply is a SOAP fault (Envelope/Body/Fault, any prefix).
    static std::optional<QString> soapFault(const pugi::xml_document& reply);

    /// True when @p reply is a SOAP 1.1 envelope whose body holds the write's response element.
    static bool confirmsWrite(const pugi::xml_document& reply, const QString& soapAction);
};

} // namespace palletry
