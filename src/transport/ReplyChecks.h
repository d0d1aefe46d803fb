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
     * The element that answers a call of @p soapAction ("<namespace>/<operation>"):
     * "<operation>Response", in that namespace, as an ASMX service answers.
     */
    static QString responseName(const QString& soapAction);

    /// The fault string when @p reply is a SOAP fault (Envelope/Body/Fault, any prefix).
    static std::optional<QString> soapFault(const pugi::xml_document& reply);

    /// True when @p reply is a SOAP 1.1 envelope whose body starts with the operation's response element.
    static bool holdsResponse(const pugi::xml_document& reply, const QString& soapAction);
};

} // namespace palletry
