#include "core/Conversion.h"

#include "core/RuntimeError.h"

#include <QByteArray>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>

namespace palletry {
namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Length of the decimal number that starts at text[pos], 0 when none does.
int scanNumber(const QString& text, int pos)
{
    const int n = text.size();
    int i = pos;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    int digits = 0;
    while (i < n && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && isDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        int j = i + 1;
        if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
            ++j;
        const int expStart = j;
        while (j < n && isDigit(text[j]))
            ++j;
        if (j > expStart)
            i = j;
    }
    return i - pos;
}

// Read in the C locale: Qt applies the user's locale to the C runtime, and the
// service always writes "." as the decimal separator. Overflow gives +-HUGE_VAL.
double parse(const QString& text, int pos, int len)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    const QByteArray latin = QStringView(text).mid(pos, len).toLatin1();
    return strtod_l(latin.constData(), nullptr, cLocale);
}

// Reads the whole text as one number or throws TypeMismatch.
double wholeNumber(const QString& text)
{
    int begin = 0;
    int end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    const int len = scanNumber(text, begin);
    if (len == 0 || begin + len != end)
        throw RuntimeError(RuntimeErrorCode::TypeMismatch);
    return parse(text, begin, len);
}

double roundHalfEven(double value)
{
    return value - std::floor(value) == 0.5 ? 2.0 * std::round(value / 2.0) : std::round(value);
}

template <typename Int>
Int toIntegral(double value)
{
    if (std::isnan(value))
        throw RuntimeError(RuntimeErrorCode::Overflow);
    const double rounded = roundHalfEven(value);
    if (!(rounded >= double(std::numeric_limits<Int>::min()) && rounded <= double(std::numeric_limits<Int>::max())))
        throw RuntimeError(RuntimeErrorCode::Overflow);
    return static_cast<Int>(rounded) + 0; // "+ 0" turns -0 into 0
}

} // namespace

qint16 toInt16(double value)
{
    return toIntegral<qint16>(value);
}

qint16 toInt16(qint64 value)
{
    if (value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max())
        throw RuntimeError(RuntimeErrorCode::Overflow);
    return static_cast<qint16>(value);
}

qint16 toInt16(const QString& text)
{
    return toInt16(wholeNumber(text));
}

qint32 toInt32(double value)
{
    return toIntegral<qint32>(value);
}

qint32 toInt32(const QString& text)
{
    return toInt32(wholeNumber(text));
}

QString vendorKey(const QString& vendorId)
{
    try {
        // Marked by kind, so that no text id can share a number's key.
        return QLatin1Char('n') + QString::number(toDouble(vendorId), 'g', 17);
    } catch (const RuntimeError&) {
        return QLatin1Char('t') + vendorId;
    }
}

bool sameVendor(const QString& a, const QString& b)
{
    return vendorKey(a) == vendorKey(b);
}

double toDouble(const QString& text)
{
    const double value = wholeNumber(text);
    if (!std::isfinite(value))
        throw RuntimeError(RuntimeErrorCode::Overflow);
    return value;
}

qint16 nextInt16(qint16 value)
{
    if (value == std::numeric_limits<qint16>::max())
        throw RuntimeError(RuntimeErrorCode::Overflow);
    return qint16(value + 1);
}

bool isNumeric(const QString& text)
{
    try {
        wholeNumber(text);
        return true;
    } catch (const RuntimeError&) {
        return false;
    }
}

qint32 leadingNumberToInt32(const QString& text)
{
    int begin = 0;
    while (begin < text.size() && isBlank(text[begin]))
        ++begin;
    const int len = scanNumber(text, begin);
    return len == 0 ? 0 : toInt32(parse(text, begin, len));
}

} // namespace palletry
