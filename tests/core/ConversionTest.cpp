#include "core/Conversion.h"
#include "core/RuntimeError.h"
#include "core/SheetCell.h"

#include <gtest/gtest.h>

#include <clocale>

using namespace palletry;

namespace {

qint32 errorNumberOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.record().number;
    }
    return 0;
}

constexpr qint32 Overflow = qint32(RuntimeErrorCode::Overflow);
constexpr qint32 TypeMismatch = qint32(RuntimeErrorCode::TypeMismatch);

} // namespace

TEST(ConversionTest, TextToSixteenBitsRoundsHalvesToEvenWithinTheRange)
{
    const std::pair<const char*, int> cases[] = {
        {"2.5", 2},       {"3.5", 4},         {"-0.5", 0},       {"-2.5", -2},      {"-3.5", -4},   {"2.51", 3},
        {"0.49999", 0},   {"1e3", 1000},      {"  42 ", 42},     {"+7", 7},         {"-12", -12},   {".5", 0},
        {"02", 2},        {"1.5E1", 15},      {"32767", 32767},  {"32767.4", 32767}, {"-32768", -32768},
        {"-32768.5", -32768}, // the even neighbour stays in range
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(toInt16(QString::fromLatin1(text)), value) << text;
    for (const char* text : {"32767.5", "32768", "-32769", "1e400"})
        EXPECT_EQ(errorNumberOf([&] { toInt16(QString::fromLatin1(text)); }), Overflow) << text;
    // Letters in either case, digits of other widths and scripts: no number.
    for (const char* text : {"", " ", "abc", "12abc", "1,000", "0x10", "1e", "1E", "--1", ".", "nan", "NaN", "inf",
                             "INF", "1 2", "\uFF11\uFF12", "\u0663", "1\u00B2", "\u00BD"})
        EXPECT_EQ(errorNumberOf([&] { toInt16(QString::fromUtf8(text)); }), TypeMismatch) << text;
}

// The C library's locale decides its decimal point; the conversions must not follow it.
TEST(ConversionTest, WholeNumbersThirtyTwoBitsAndDoubleWhateverTheLocale)
{
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        std::setlocale(LC_NUMERIC, "C.UTF-8");
    EXPECT_EQ(toInt16(qint64(32767)), 32767);
    EXPECT_EQ(toInt16(qint64(-32768)), -32768);
    EXPECT_EQ(toInt16(32767.0), 32767);
    EXPECT_EQ(errorNumberOf([] { toInt16(qint64(32768)); }), Overflow);
    EXPECT_EQ(errorNumberOf([] { toInt16(qint64(-32769)); }), Overflow);
    EXPECT_EQ(toInt16(QStringLiteral("2.5")), 2);
    EXPECT_EQ(toInt32(QStringLiteral("70000.5")), 70000);
    EXPECT_EQ(toInt32(QStringLiteral("2147483647")), 2147483647);
    EXPECT_EQ(errorNumberOf([] { toInt32(QStringLiteral("2147483648")); }), Overflow);
    EXPECT_DOUBLE_EQ(toDouble(QStringLiteral("12.25")), 12.25);
    EXPECT_DOUBLE_EQ(toDouble(QStringLiteral("0.75")), 0.75);
    EXPECT_EQ(errorNumberOf([] { toDouble(QStringLiteral("12,5")); }), TypeMismatch);
    EXPECT_TRUE(isNumeric(QStringLiteral(" 3.0 ")));
    EXPECT_FALSE(isNumeric(QStringLiteral("3.0.1")));
    EXPECT_FALSE(isNumeric(QString()));
    std::setlocale(LC_NUMERIC, previous.c_str());
}

TEST(ConversionTest, LeadingNumberReadsAsFarAsTheNumberGoes)
{
    const std::pair<const char*, int> cases[] = {{"123abc", 123}, {"  -7 vendors", -7}, {"abc", 0},
                                                 {"", 0},         {"2.5x", 2},          {"1e2e", 100}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(leadingNumberToInt32(QString::fromLatin1(text)), value) << text;
    EXPECT_EQ(errorNumberOf([] { leadingNumberToInt32(QStringLiteral("99999999999")); }), Overflow);
}

TEST(SheetCellTest, AFormulaStartAfterWhatASpreadsheetTrimsIsGuardedAndTextAfterItIsNot)
{
    // Each blank before each start: guarded; the same blank before a letter: as it was.
    for (const QString blank : {"", " ", "  ", "\u00A0", "\u200B", "\uFEFF", "\u3000", "\u2003", " \u00A0\u200B"})
        for (const QString start : {"=", "+", "-", "@", "\uFF1D", "\uFF0B", "\uFF0D", "\uFF20"}) {
            const QString formula = blank + start + QStringLiteral("1+1");
            EXPECT_EQ(sheetCellText(formula), QLatin1Char('\'') + formula) << formula.toStdString();
            EXPECT_EQ(sheetCellText(blank + QStringLiteral("x") + start), blank + QStringLiteral("x") + start);
        }
    EXPECT_EQ(sheetCellText(QStringLiteral("\t x")), QStringLiteral("'\t x"));
    EXPECT_EQ(sheetCellText(QStringLiteral("-12")), QStringLiteral("'-12")); // a negative number keeps it
    EXPECT_EQ(sheetCellText(QString()), QString());
}
