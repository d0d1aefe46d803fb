#include "transport/ReplyChecks.h"

#include <pugixml.hpp>

#include <cstring>

namespace palletry {
namespace {

constexpr char SoapEnvelopeNamespace[] = "http://schemas.xmlsoap.org/soap/envelope/";

QString unquoted(const QString& action)
{
    if (action.size() >= 2 && action.startsWith(QLatin1Char('"')) && action.endsWith(QLatin1Char('"')))
        return action.mid(1, action.size() - 2);
    return action;
}

// The name after its prefix (everything before the first colon).
const char* localName(const char* name)
{
    const char* colon = std::strchr(name, ':');
    return colon ? colon + 1 : name;
}

// The namespace URI of an element, from the declarations in scope.
std::string namespaceOf(const pugi::xml_node& element)
{
    const char* name = element.name();
    const char* colon = std::strchr(name, ':');
    const std::string declaration = colon ? "xmlns:" + std::string(name, colon) : std::string("xmlns");
    for (pugi::xml_node n = element; n && n.type() == pugi::node_element; n = n.parent())
        if (const pugi::xml_attribute a = n.attribute(declaration.c_str()))
            return a.value();
    return {};
}

bool isElement(const pugi::xml_node& node, const char* local, const std::string& ns)
{
    return node.type() == pugi::node_element && std::strcmp(localName(node.name()), local) == 0
        && namespaceOf(node) == ns;
}

/// The first child element of @p parent named @p local (any prefix), or, without a name, the first child element.
pugi::xml_node firstElement(const pugi::xml_node& parent, const char* local = nullptr)
{
    for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling())
        if (n.type() == pugi::node_element && (!local || std::strcmp(localName(n.name()), local) == 0))
            return n;
    return {};
}

} // namespace

QString ReplyChecks::networkText(const QString& text)
{
    if (text.size() <= MaxNetworkText)
        return text;
    qsizetype cut = MaxNetworkText;
    if (text.at(cut - 1).isHighSurrogate())
        --cut; // never half a character
    return text.left(cut) + QChar(0x2026);
}

QString ReplyChecks::responseName(const QString& soapAction)
{
    const QString action = unquoted(soapAction);
    return action.mid(action.lastIndexOf(QLatin1Char('/')) + 1) + QLatin1String("Response");
}

bool ReplyChecks::holdsResponse(const pugi::xml_document& reply, const QString& soapAction)
{
    const QString action = unquoted(soapAction);
    const qsizetype slash = action.lastIndexOf(QLatin1Char('/'));
    if (slash <= 0 || slash == action.size() - 1)
        return false;
    const std::string ns = action.left(slash).toStdString();
    const std::string response = responseName(action).toStdString();

    const pugi::xml_node envelope = reply.document_element();
    if (!isElement(envelope, "Envelope", SoapEnvelopeNamespace))
        return false;
    pugi::xml_node body = firstElement(envelope);
    if (isElement(body, "Header", SoapEnvelopeNamespace))
        body = body.next_sibling();
    while (body && body.type() != pugi::node_element)
        body = body.next_sibling();
    if (!isElement(body, "Body", SoapEnvelopeNamespace))
        return false;
    return isElement(firstElement(body), response.c_str(), ns);
}

std::optional<QString> ReplyChecks::soapFault(const pugi::xml_document& reply)
{
    const pugi::xml_node envelope = reply.document_element();
    if (!envelope || std::strcmp(localName(envelope.name()), "Envelope") != 0)
        return std::nullopt;
    const pugi::xml_node fault = firstElement(firstElement(envelope, "Body"), "Fault");
    if (!fault)
        return std::nullopt;
    return QString::fromUtf8(firstElement(fault, "faultstring").text().get());
}

} // namespace palletry
