// Scanner-friendly entry: Enter in a field presses that field's button only
// while the option is on and the button can be pressed.

#include "support/ControlRig.h"

#include <QSignalSpy>

using namespace palletry;
using namespace palletry::test;

namespace {

struct FieldCase
{
    const char* field;
    const char* button;
    int tab;
    bool manualPanel; ///< the field lives in the manual-PO panel, hidden until opened
};

const FieldCase fieldCases[] = {
    {"txtFindPO", "cmdFind", 1, false},
    {"txtAddPO", "cmdAddPO", 2, false},
    {"txtUnitWeight", "cmdSaveVendorDetails", 1, false},
    {"txtManualPOUnitWeight", "cmdManualPOSave", 2, true},
};

} // namespace

TEST(ScannerEntry, EnterPressesTheFieldsButtonOnlyWhenSwitchedOn)
{
    ControlRig rig;
    Palletry& control = rig.control;
    EXPECT_FALSE(control.scannerEntry());
    EXPECT_FALSE(control.property("scannerEntry").toBool());
    for (const FieldCase& c : fieldCases) {
        SCOPED_TRACE(c.field);
        auto* field = control.findChild<QLineEdit*>(QLatin1String(c.field));
        auto* button = control.findChild<QPushButton*>(QLatin1String(c.button));
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
        };
        const Step steps[] = {
            {false, true, Qt::Key_Return, Qt::NoModifier, 0},
            {false, true, Qt::Key_Enter, Qt::KeypadModifier, 0},
            {true, true, Qt::Key_Return, Qt::NoModifier, 1},
            {true, true, Qt::Key_Enter, Qt::KeypadModifier, 1},
            {true, true, Qt::Key_Return, Qt::ShiftModifier, 0},
            {true, false, Qt::Key_Return, Qt::NoModifier, 0},
        };
        for (const Step& step : steps) {
            control.setProperty("scannerEntry", step.scanner);
            field->setText(QStringLiteral("123"));
            button->setEnabled(step.buttonAvailable);
            QSignalSpy clicked(button, &QPushButton::clicked);
            QTest::keyClick(field, step.key, step.modifiers);
            EXPECT_EQ(clicked.size(), step.clicks)
                << "scanner " << step.scanner << ", available " << step.buttonAvailable << ", key " << step.key;
        }
    }
    // A Save out of view is not pressed: the manual-PO panel closed.
    control.setScannerEntry(true);
    rig.d.screen.fraAdPOManually->hide();
    rig.d.screen.cmdManualPOSave->setEnabled(true);
    QSignalSpy clicked(rig.d.screen.cmdManualPOSave, &QPushButton::clicked);
    QTest::keyClick(rig.d.screen.txtManualPOUnitWeight, Qt::Key_Return);
    EXPECT_EQ(clicked.size(), 0);
}
