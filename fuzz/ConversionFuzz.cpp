// Text as the service or the host brings it, through the numeric conversions.
//
// Properties:
//  - only RuntimeError escapes, and only TypeMismatch (not a number) or
//    Overflow (out of range);
//  - TypeMismatch exactly when isNumeric is false (for the whole-text conversions);
//  - when toInt16 succeeds the text is numeric, toInt32 gives the same value,
//    toDouble gives a value it rounds from (half to even), and a value toInt32
//    reads within the 16-bit range never overflows toInt16;
//  - leadingNumberToInt32 agrees with toInt32 on whole numbers.
// The first eight bytes also feed the double and 64-bit overloads.

#include "FuzzCheck.h"

#include "core/Conversion.h"
#include "core/RuntimeError.h"

#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <exception>
#include <limits>
#include <optional>

namespace {

using namespace palletry;

constexpr qint32 TypeMismatch = qint32(RuntimeErrorCode::TypeMismatch);
constexpr qint32 Overflow = qint32(RuntimeErrorCode::Overflow);

template <typename T>
struct Outcome
{
    std::optional<T> value;
    qint32 error = 0;
};

// Runs @p convert; any exception other than RuntimeError aborts (the engine records it).
template <typename Convert>
auto attempt(Convert convert) -> Outcome<decltype(convert())>
{
    Outcome<decltype(convert())> outcome;
    try {
        outcome.value = convert();
    } catch (const RuntimeError& error) {
        outcome.error = error.record().number;
        FUZZ_CHECK(outcome.error == TypeMismatch || outcome.error == Overflow);
    }
    return outcome;
}

bool roundsTo(double value, double whole)
{
    const double distance = std::fabs(value - whole);
    if (distance < 0.5)
        return true;
    return distance == 0.5 && std::fmod(whole, 2.0) == 0.0;
}

void checkText(const QString& text)
{
    const bool numeric = isNumeric(text);
    const auto i16 = attempt([&] { return toInt16(text); });
    const auto i32 = attempt([&] { return toInt32(text); });
    const auto real = attempt([&] { return toDouble(text); });
    const auto leading = attempt([&] { return leadingNumberToInt32(text); });

    for (qint32 error : {i16.error, i32.error, real.error})
        FUZZ_CHECK((error == TypeMismatch) == !numeric);
    FUZZ_CHECK(leading.error == 0 || leading.error == Overflow);

    if (i16.value) {
        FUZZ_CHECK(numeric);
        FUZZ_CHECK(i32.value && *i32.value == *i16.value);
    }
    if (i32.value) {
        FUZZ_CHECK(real.value && std::isfinite(*real.value));
        FUZZ_CHECK(roundsTo(*real.value, *i32.value));
        FUZZ_CHECK(leading.value && *leading.value == *i32.value);
        const bool fits16 = *i32.value >= std::numeric_limits<qint16>::min()
            && *i32.value <= std::numeric_limits<qint16>::max();
        FUZZ_CHECK(fits16 == bool(i16.value));
    }
    if (real.value)
        FUZZ_CHECK(std::isfinite(*real.value));
    if (numeric && !i32.value)
        FUZZ_CHECK(!i16.value);
}

void checkNumbers(const std::uint8_t* data)
{
    double real;
    qint64 whole;
    std::memcpy(&real, data, sizeof real);
    std::memcpy(&whole, data, sizeof whole);

    const auto fromReal16 = attempt([&] { return toInt16(real); });
    const auto fromReal32 = attempt([&] { return toInt32(real); });
    const auto fromWhole16 = attempt([&] { return toInt16(whole); });
    for (qint32 error : {fromReal16.error, fromReal32.error, fromWhole16.error})
        FUZZ_CHECK(error == 0 || error == Overflow);

    if (fromReal32.value)
        FUZZ_CHECK(roundsTo(real, *fromReal32.value));
    if (fromReal16.value)
        FUZZ_CHECK(fromReal32.value && *fromReal32.value == *fromReal16.value);
    if (std::isnan(real))
        FUZZ_CHECK(fromReal16.error == Overflow && fromReal32.error == Overflow);
    FUZZ_CHECK(bool(fromWhole16.value)
               == (whole >= std::numeric_limits<qint16>::min() && whole <= std::numeric_limits<qint16>::max()));
    if (fromWhole16.value)
        FUZZ_CHECK(*fromWhole16.value == whole);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    checkText(QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    // The same bytes read as Latin-1: every byte one character, blanks and digits where they stand.
    checkText(QString::fromLatin1(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (size >= 8)
        checkNumbers(data);
    return 0;
}
