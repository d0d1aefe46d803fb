#pragma once

// The reply edits as plain sequential single-pass replacements on QString: the
// steps the control's one-scan UTF-8 chain (Unwrap::replyText, dataSetText)
// must equal. Shared by the reply_unwrap fuzz target and the tests.

#include "soap/ServiceNamespace.h"
#include "soap/Unwrap.h"

#include <QString>
#include <QStringList>

namespace palletry::replysteps {

inline QString utf8Declaration()
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\" ?>");
}

/// "&lt;" -> "<", "&gt;" -> ">", the serialiser's declaration -> the utf-8 one, "&amp;" -> "&".
inline QString unescapeResult(QString text)
{
    text.replace(QLatin1String("&lt;"), QLatin1String("<"));
    text.replace(QLatin1String("&gt;"), QLatin1String(">"));
    text.replace(QLatin1String("<?xml version=\"1.0\"?>"), utf8Declaration());
    text.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return text;
}

/// Every occurrence of each pattern removed, one pattern after the other.
inline QString removed(QString text, const QStringList& patterns)
{
    for (const QString& p : patterns)
        text.replace(p, QString());
    return text;
}

/// What removing the reply's SOAP envelope takes out, in order.
inline QStringList envelopePatterns()
{
    return {QStringLiteral("<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\""
                           " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
                           " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\">"),
            QStringLiteral("<soap:Body>"), QStringLiteral("</soap:Body>"), QStringLiteral("</soap:Envelope>"),
            utf8Declaration()};
}

/// What an operation's unwrapper takes out, in order.
inline QStringList operationPatterns(Unwrap::Operation op)
{
    const QString name = QLatin1String(Unwrap::operationName(op));
    const QString responseStart = QLatin1Char('<') + name + QStringLiteral("Response xmlns=\"")
        + QLatin1String(ServiceNamespace) + QStringLiteral("\">");
    if (op == Unwrap::Operation::GetOrderDetails)
        return {QStringLiteral("<GetOrderDetailsResult xsi:type=\"xsd:string\">"), responseStart,
                QStringLiteral("<GetOrderDetailsResult>"), QStringLiteral("<GetOrderDetailsResult />"),
                QStringLiteral("</GetOrderDetailsResult>"), QStringLiteral("</GetOrderDetailsResponse>"),
                utf8Declaration()};
    return {responseStart, QLatin1Char('<') + name + QStringLiteral("Result>"),
            QStringLiteral("</") + name + QStringLiteral("Result>"), QStringLiteral("</") + name + QStringLiteral("Response>"),
            utf8Declaration()};
}

/// ReturnWebserviceXML's text of a serialised reply.
inline QString replyText(const QString& serialised)
{
    return removed(unescapeResult(serialised), envelopePatterns());
}

/// The DataSet text that operation @p op's unwrapper leaves of ReturnWebserviceXML's text.
inline QString unwrapped(Unwrap::Operation op, const QString& text)
{
    return removed(text, operationPatterns(op));
}

} // namespace palletry::replysteps
