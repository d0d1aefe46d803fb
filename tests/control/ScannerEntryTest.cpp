// Scanner-friendly entry: Enter in a field presses that field's button only
// while the option is on and the button can be pressed, and while on never
// reaches the host's default button.

#include "support/ControlRig.h"

#include <QDialog>
#include <QSignalSpy>
#include <QVBoxLayout>

using namespace palletry;
using namespace palletry::test;

namespace {

struct FieldCase
{
    const char* field;
    const char* button; ///< nullptr: the field has none
    int tab;
    bool manualPanel; ///< the manual-PO panel is open
    bool pressable;   ///< Enter presses the button while it is available
};

const FieldCase fieldCases[] = {
    {"txtFindPO", "cmdFind", 1, false, true},
    {"txtAddPO", "cmdAddPO", 2, false, true},
    {"txtUnitWeight", "cmdSaveVendorDetails", 1, false, true},
    {"txtManualPOUnitWeight", "cmdManualPOSave", 2, true, true},
    {"txtManualPOUnitWeight", "cmdManualPOSave", 2, false, false}, // a Save out of view
    {"txtNumberOfCartons", nullptr, 1, false, false},
    {"txtManualPONumberOfCartons", nullptr, 2, true, false},
};

} // namespace

TEST(ScannerEntry, EnterPressesTheFieldsButtonOnlyWhenSwitchedOnAndNeverTheHostsDefault)
{
    // The host is a dialog whose default button closes it, as Enter would.
    QDialog host;
    ControlRig rig;
    Palletry& control = rig.control;
    auto* layout = new QVBoxLayout(&host);
    layout->addWidget(&control);
    auto* ok = new QPushButton(QStringLiteral("OK"), &host);
    layout->addWidget(ok);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &host, &QDialog::accept);
    EXPECT_FALSE(control.scannerEntry());
    QPushButton none; // stands in for the button of a field that has none
    for (const FieldCase& c : fieldCases) {
        SCOPED_TRACE(testing::Message() << c.field << (c.manualPanel ? ", panel open" : ""));
        auto* field = control.findChild<QLineEdit*>(QLatin1String(c.field));
        auto* button = c.button ? control.findChild<QPushButton*>(QLatin1String(c.button)) : &none;
        ASSERT_TRUE(field && button);
        rig.d.navigation.showOnly(c.tab);
        rig.d.screen.fraAdPOManually->setVisible(c.manualPanel);
        struct Step
        {
            bool scanner;
            bool buttonAvailable;
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            int clicks;
            bool hostClosed;
        };
        const Step steps[] = {
            {false, true, Qt::Key_Return, Qt::NoModifier, 0, true},
            {false, true, Qt::Key_Enter, Qt::KeypadModifier, 0, true},
            {true, true, Qt::Key_Return, Qt::NoModifier, 1, false},
            {true, true, Qt::Key_Enter, Qt::KeypadModifier, 1, false},
            {true, true, Qt::Key_Return, Qt::ShiftModifier, 0, false},
            {true, false, Qt::Key_Return, Qt::NoModifier, 0, false},
            {true, false, Qt::Key_Enter, Qt::KeypadModifier, 0, false},
        };
        for (const Step& step : steps) {
            SCOPED_TRACE(testing::Message() << "scanner " << step.scanner << ", available " << step.buttonAvailable
                                            << ", key " << step.key << ", modifiers " << step.modifiers.toInt());
            host.setResult(QDialog::Rejected);
            host.show();
            control.setProperty("scannerEntry", step.scanner);
            field->setText(QStringLiteral("123"));
            button->setEnabled(step.buttonAvailable);
            QSignalSpy clicked(button, &QPushButton::clicked);
            QTest::keyClick(field, step.key, step.modifiers);
            settle();
            EXPECT_EQ(clicked.size(), c.pressable ? step.clicks : 0);
            EXPECT_EQ(host.result() == QDialog::Accepted, step.hostClosed);
        }
    }
}
