#pragma once

#include <QString>

namespace palletry {

/// The request side's text pieces: the envelope template and value formatting.
namespace Envelopes {

/**
 * The SOAP envelope template, one line, holding the placeholder word XMLData
 * where the operation body goes (four spaces before it, one after).
 */
QString WrapSOAPEnvelope();

/**
 * @p value with "&", "<", ">", '"' and "'" written as entity references, fit to stand in
 * element text. A value holding a character that XML cannot carry to the service
 * unchanged (control characters but tab and line feed, carriage return, unpaired
 * surrogates, U+FFFE and U+FFFF) raises a RuntimeError: it is refused, not altered.
 */
QString xmlEscaped(const QString& value);

/**
 * A unit weight as xsd:double reads it: "." as the decimal separator whatever
 * the locale, at most 15 significant digits, no trailing ".0" (12.5, 12).
 */
QString formatUnitWeight(double value);

/// The start tag of operation @p operation in the service's namespace: <Op xmlns="...">.
QString operationStartTag(const char* operation);

} // namespace Envelopes
} // namespace palletry
