#include "soap/Envelopes.h"

#include "soap/ServiceNamespace.h"

#include <cmath>

namespace palletry::Envelopes {

QString WrapSOAPEnvelope()
{
    return QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
        "<soap:Envelope xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
        " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\""
        " xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\">"
        "  <soap:Body>"
        "    XMLData "
        "  </soap:Body>"
        " </soap:Envelope>");
}

QString xmlEscaped(const QString& value)
{
    qsizetype extra = 0;
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '&':
            extra += 4;
            break;
        case '<':
        case '>':
            extra += 3;
            break;
        case '"':
        case '\'':
            extra += 5;
            break;
        default:
            break;
        }
    }
    if (!extra)
        return value;
    QString out;
    out.reserve(value.size() + extra);
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case '"':
            out += QLatin1String("&quot;");
            break;
        case '\'':
            out += QLatin1String("&apos;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString formatUnitWeight(double value)
{
    // xsd:double spellings for the values that have no decimal form.
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    // QString::number never uses the locale; 'g' drops trailing zeros.
    return QString::number(value, 'g', 15);
}

QString operationStartTag(const char* operation)
{
    return QLatin1Char('<') + QLatin1String(operation) + QLatin1String(" xmlns=\"") + QLatin1String(ServiceNamespace)
        + QLatin1String("\">");
}

} // namespace palletry::Envelopes
