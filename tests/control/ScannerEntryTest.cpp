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
    const char* button; ///< nullptr: Enter presses nothing
    int tab;
    bool manualPanel; ///< the field lives in the manual-PO panel, hidden until opened
};

const FieldCase fieldCases[] = {
    {"txtFindPO", "cmdFind", 1, false},
    {"txtAddPO", "cmdAddPO", 2, false},
    {"txtUnitWeight", "cmdSaveVendorDetails", 1, false},
    {"txtManualPOUnitWeight", "cmdManualPOSave", 2, true},
    {"txtNumberOfCartons", nullptr, 1, false},
    {"txtManualPONumberOfCartons", nullptr, 2, true},
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
    EXPECT_FALSE(control.property("scannerEntry").toBool());
    for (const FieldCase& c : fieldCases) {
        SCOPED_TRACE(c.field);
        auto* field = control.findChild<QLineEdit*>(QLatin1String(c.field));
        auto* button = c.button ? control.findChild<QPushButton*>(QLatin1String(c.button)) : nullptr;
        ASSERT_TRUE(field && (button || !c.button));
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
            host.setResult(QDialog::Rejected);
            host.show();
            control.setProperty("scannerEntry", step.scanner);
            field->setText(QStringLiteral("123"));
            if (button)
                button->setEnabled(step.buttonAvailable);
            QSignalSpy clicked(button ? button : ok, &QPushButton::clicked);
            QTest::keyClick(field, step.key, step.modifiers);
            if (button) {
                EXPECT_EQ(clicked.size(), step.clicks)
                    << "scanner " << step.scanner << ", available " << step.buttonAvailable << ", key " << step.key;
            }
            EXPECT_EQ(host.result() == QDialog::Accepted, step.hostClosed)
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
    EXPECT_TRUE(host.isVisible());
}
