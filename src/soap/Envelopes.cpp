#include "soap/Envelopes.h"

#include "core/RuntimeError.h"
#include "soap/ServiceNamespace.h"

#include <cmath>

namespace palletry::Envelopes {
namespace {

// Characters that no XML text can carry, or that the request's re-serialisation
// would change on the way (a carriage return reaches the service as a line feed).
[[noreturn]] void refuseCharacter(uint code)
{
    throw RuntimeError(RuntimeErrorCode::InvalidProcedureCall,
                       QStringLiteral("A value holds the character U+%1, which cannot be sent")
                           .arg(QString::number(code, 16).toUpper().rightJustified(4, QLatin1Char('0'))));
}

void checkSendable(const QString& value)
{
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char16_t c = value.at(i).unicode();
        if ((c < 0x20 && c != '\t' && c != '\n') || c == 0xFFFE || c == 0xFFFF)
            refuseCharacter(c);
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 < value.size() && value.at(i + 1).isLowSurrogate()) {
                ++i;
                continue;
            }
            refuseCharacter(c);
        }
        if (QChar::isLowSurrogate(c))
            refuseCharacter(c);
    }
}

} // namespace

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
    checkSendable(value);
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
    QString text = QString::number(value, 'g', 15);
    // Within a hair of the largest double, rounding to 15 digits goes past it and the
    // service would read an infinity; the last digit rounded towards zero stays in range.
    bool inRange = false;
    text.toDouble(&inRange);
    if (!inRange)
        text = QString::number(value * (1 - 1e-15), 'g', 15);
    return text;
}

QString operationStartTag(const char* operation)
{
    return QLatin1Char('<') + QLatin1String(operation) + QLatin1String(" xmlns=\"") + QLatin1String(ServiceNamespace)
        + QLatin1String("\">");
}

} // namespace palletry::Envelopes
