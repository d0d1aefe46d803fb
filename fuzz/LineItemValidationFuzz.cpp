// Arbitrary carton and unit-weight texts through the line-item validation, on
// real widgets, as a clerk or a scanner types them.
//
// Properties:
//  - the validation shows exactly one message when it refuses and none when it
//    accepts, and the message is the first failing check's, in the fixed order
//    (cartons blank, cartons not a number, weight blank, weight not a number);
//  - "a number" is a plain decimal with optional sign, fraction and exponent,
//    blanks around it allowed, whose value a double holds (checked against an
//    independent grammar here);
//  - every pair it accepts converts in the save: the unit weight to a finite
//    double, the carton count to 16 bits or, outside that range, to Overflow
//    and nothing else;
//  - the validation leaves the fields' text as it was.
// The input is the carton text, a NUL byte, then the unit-weight text (UTF-8).

#include "FuzzCheck.h"

#include "actions/LineItemEntry.h"
#include "core/Conversion.h"
#include "core/RuntimeError.h"
#include "core/Trap.h"
#include "screen/FlexGrid.h"
#include "transport/MessageBoxes.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>

#include <clocale>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <memory>

namespace {

using namespace palletry;

class CountingSink : public ErrorSink
{
public:
    void reportError(const ErrorRecord&, const QString&) override { ++reports; }
    int reports = 0;
};

struct Panel
{
    Panel()
        : boxes(&window)
        , grid(new FlexGrid(&window))
        , lineItem(new QLabel(&window))
        , model(new QLabel(&window))
        , cartons(new QLineEdit(&window))
        , unitWeight(new QLineEdit(&window))
        , entry(LineItemPanel{grid, lineItem, model, cartons, unitWeight, "grdOrdItems_Click()"}, boxes, sink)
    {
        cartons->setMaxLength(1 << 20);
        unitWeight->setMaxLength(1 << 20);
        boxes.setInterceptor([this](const MessageBoxRequest& request) {
            shown.push_back(request.prompt);
            return QMessageBox::Ok;
        });
    }

    QWidget window;
    MessageBoxes boxes;
    CountingSink sink;
    FlexGrid* grid;
    QLabel* lineItem;
    QLabel* model;
    QLineEdit* cartons;
    QLineEdit* unitWeight;
    LineItemEntry entry;
    QStringList shown;
};

Panel& panel()
{
    static int argc = 1;
    static char name[] = "fuzz_line_item_validation";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return std::make_unique<QApplication>(argc, argv);
    }();
    static Panel panel;
    return panel;
}

// The accepted form, written out independently of the conversions.
bool isNumberText(const QString& text)
{
    static const QRegularExpression form(
        // \A and \z: "$" would also match before a final line feed, which is not a blank.
        QStringLiteral("\\A[ \\t]*([+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?)[ \\t]*\\z"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return false;
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return std::isfinite(strtod_l(match.captured(1).toLatin1().constData(), nullptr, cLocale));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Panel& p = panel();
    const char* bytes = reinterpret_cast<const char*>(data);
    const void* nul = std::memchr(data, 0, size);
    const std::size_t split = nul ? std::size_t(static_cast<const std::uint8_t*>(nul) - data) : size;
    p.cartons->setText(QString::fromUtf8(bytes, qsizetype(split)));
    p.unitWeight->setText(split < size ? QString::fromUtf8(bytes + split + 1, qsizetype(size - split - 1)) : QString());
    // What the fields hold is what the clerk sees and what the save reads.
    const QString cartons = p.cartons->text();
    const QString weight = p.unitWeight->text();
    p.shown.clear();
    const std::optional<LineItemValues> values = p.entry.validate();
    const bool accepted = values.has_value();

    const char* expected = nullptr;
    if (cartons.isEmpty())
        expected = "Number of cartons has been left blank.";
    else if (!isNumberText(cartons))
        expected = "Number of cartons must be a numeric value.";
    else if (weight.isEmpty())
        expected = "Unit weight has been left blank.";
    else if (!isNumberText(weight))
        expected = "Unit weight must be a numeric value.";

    FUZZ_CHECK(accepted == (expected == nullptr));
    FUZZ_CHECK(p.shown.size() == (accepted ? 0 : 1));
    if (!accepted)
        FUZZ_CHECK(p.shown.front() == QLatin1String(expected));
    FUZZ_CHECK(p.cartons->text() == cartons && p.unitWeight->text() == weight);
    // What the save records is what was checked: the texts as typed, the weight as it converts.
    if (accepted)
        FUZZ_CHECK(values->cartons == cartons && values->unitWeight == toDouble(weight));
    FUZZ_CHECK(p.sink.reports == 0);

    if (accepted) {
        FUZZ_CHECK(std::isfinite(toDouble(weight)));
        try {
            toInt16(cartons);
        } catch (const RuntimeError& error) {
            FUZZ_CHECK(error.record().number == qint32(RuntimeErrorCode::Overflow));
        }
    }
    return 0;
}
