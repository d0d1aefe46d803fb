#include "screen/FlexGrid.h"
#include "screen/ListView.h"
#include "screen/Screen.h"

#include "support/QtPrinters.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

using palletry::ListView;
using palletry::Screen;

namespace {

QStringList words(const char* text)
{
    return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// The named elements of each tab: handlers, hosts and tests find them by these names.
const char* const elementsOfTab[3] = {
    "Frame1 Frame4 lblLoadID txtLoadID lblTruckNumber txtTruckNumber lblLoadDate txtLoadDate lblDriver txtDriver "
    "Frame2 lstVendors cmdViewDetails cmdViewAll lblVersionNumber",
    "Frame5 lblVendorName Frame6 Label1 lstProspectivePOs cmdSelect cmdSelectAll cmdRemove cmdRemoveAll Label2 "
    "lstSelectedPOs Frame3 Label4 txtFindPO cmdFind Label3 optProspectivePOs optSelectedPOs fraOrderDetails "
    "lblNumberOfCartons txtNumberOfCartons grdOrdItems fraLineItemDetails Label5 Label6 Label7 lblLineItem lblModel "
    "txtUnitWeight cmdSaveVendorDetails cmdCancelVendorDetails cmdFinished",
    "Frame7 lstAllSelectedPOs lblAddPO txtAddPO cmdAddPO cmdRemovePO cmdDone txtErrorMessage fraAdPOManually "
    "txtManualPONumberOfCartons Label13 grdManualPOItems Frame9 Label12 Label11 Label10 lblManualPOLineItem "
    "lblManualPOModel txtManualPOUnitWeight cmdManualPOSave cmdManualPOCancel",
};

QString captionOf(const QWidget* w)
{
    if (auto* b = qobject_cast<const QAbstractButton*>(w))
        return b->text();
    if (auto* l = qobject_cast<const QLabel*>(w))
        return l->text();
    if (auto* g = qobject_cast<const QGroupBox*>(w))
        return g->title();
    return QString();
}

QStringList headers(const ListView* list)
{
    QStringList out;
    for (int c = 0; c < list->model()->columnCount(); ++c)
        out << list->model()->headerData(c, Qt::Horizontal).toString();
    return out;
}

struct ScreenTest : ::testing::Test
{
    QWidget control;
    Screen screen{&control};
};

TEST_F(ScreenTest, TabKeyWalksTheFocusableElementsInTheirOrder)
{
    const QStringList expected = words(
        "txtDriver txtLoadDate txtTruckNumber lstVendors cmdSelect cmdSelectAll cmdRemove cmdRemoveAll lstSelectedPOs "
        "lstProspectivePOs cmdFind txtFindPO lstAllSelectedPOs cmdViewDetails cmdViewAll optProspectivePOs "
        "optSelectedPOs cmdDone txtLoadID cmdRemovePO cmdAddPO txtAddPO txtErrorMessage grdOrdItems txtUnitWeight "
        "cmdCancelVendorDetails cmdSaveVendorDetails txtNumberOfCartons cmdFinished txtManualPONumberOfCartons "
        "cmdManualPOSave txtManualPOUnitWeight grdManualPOItems cmdManualPOCancel");
    QStringList chain;
    for (QWidget* w = screen.tabPalletry->nextInFocusChain(); w != screen.tabPalletry; w = w->nextInFocusChain())
        if ((w->focusPolicy() & Qt::TabFocus) && expected.contains(w->objectName()))
            chain << w->objectName();
    EXPECT_EQ(chain, expected);
}

TEST_F(ScreenTest, CaptionsAClerkReads)
{
    const QStringList pairs = QStringLiteral(
        "Frame4=Load Details|lblLoadID=Load ID|lblTruckNumber=Truck Number|lblLoadDate=Load Date|lblDriver=Carrier|"
        "Frame2=Vendor Details|cmdViewDetails=View &Details|cmdViewAll=View &All|lblVendorName=Name of Vendor|"
        "Label1=Prospective Order(s)|cmdSelect=>|cmdSelectAll=>>|cmdRemove=<|cmdRemoveAll=<<|"
        "Label2=Selected Order(s)|Frame3=Search P.O.|Label4=Find P.O.|cmdFind=Find|Label3=Search In:|"
        "optProspectivePOs=Prospective POs|optSelectedPOs=Selected POs|fraOrderDetails=Order Details|"
        "lblNumberOfCartons=Number of Cartons|Label5=Line Item#|Label6=Model|Label7=Weight|"
        "cmdSaveVendorDetails=&Save|cmdCancelVendorDetails=&Cancel|cmdFinished=&Done|"
        "lblAddPO=Add to Selected P O:|cmdAddPO=Add P O|cmdRemovePO=&Remove|cmdDone=&Done|"
        "fraAdPOManually=Order Details|Label13=Number of Cartons|Label12=Line Item#|Label11=Model|Label10=Weight|"
        "cmdManualPOSave=&Save|cmdManualPOCancel=&Cancel")
                                  .split(QLatin1Char('|'));
    for (const QString& pair : pairs) {
        const QString name = pair.section(QLatin1Char('='), 0, 0);
        const QWidget* w = control.findChild<QWidget*>(name);
        ASSERT_NE(w, nullptr) << name.toStdString();
        EXPECT_EQ(captionOf(w), pair.section(QLatin1Char('='), 1)) << name.toStdString();
    }
    EXPECT_EQ(screen.txtErrorMessage->toPlainText(), "This control is for error handling. So I set it to invisible.");
    EXPECT_EQ(headers(screen.lstVendors), QStringList({"Vendor ID", "Name of Vendor"}));
    EXPECT_EQ(headers(screen.lstProspectivePOs), QStringList({"OrderID", "Center"}));
    EXPECT_EQ(headers(screen.lstSelectedPOs), QStringList({"OrderID", "# Cartons", "Center Name"}));
    EXPECT_EQ(headers(screen.lstAllSelectedPOs),
              QStringList({"OrderID", "MemberID", "CenterID", "VendorID", "FreightGroup", "PostalCode",
                           "MaxSequence", "# Cartons", "Center Name"}));
    EXPECT_EQ(screen.lstProspectivePOs->toolTip(), "Double Click to add order to load");
    EXPECT_EQ(screen.lstSelectedPOs->toolTip(), "Double Click to edit # of Cartons");
    EXPECT_EQ(screen.lstAllSelectedPOs->toolTip(), "Double Click to edit # of Cartons");
}

// Each named element once, on its tab, inside its container. A hairline where two borders meet is
// how the form was drawn; more would hide what a clerk reads.
TEST_F(ScreenTest, NamedElementsSitOnceOnTheirTabWithoutCoveringEachOther)
{
    ASSERT_EQ(control.findChildren<QTabWidget*>("tabPalletry"), QList<QTabWidget*>{screen.tabPalletry});
    screen.setTabStripHeightTwips(Screen::DesignTabStripHeightTwips);
    control.show();
    QStringList named;
    for (const char* tab : elementsOfTab)
        named << words(tab);
    for (int tab = 0; tab < 3; ++tab) {
        screen.tabPalletry->setCurrentIndex(tab); // only the shown page has its final size
        QCoreApplication::processEvents();
        for (const QString& name : words(elementsOfTab[tab])) {
            const QList<QWidget*> found = control.findChildren<QWidget*>(name);
            ASSERT_EQ(found.size(), 1) << name.toStdString();
            const QWidget* w = found[0];
            EXPECT_TRUE(screen.tabPalletry->widget(tab)->isAncestorOf(w)) << name.toStdString();
            if (w->isHidden())
                continue;
            EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry())) << name.toStdString();
            for (QObject* o : w->parentWidget()->children()) {
                auto* sibling = qobject_cast<QWidget*>(o);
                if (!sibling || sibling == w || sibling->isHidden() || !named.contains(sibling->objectName()))
                    continue;
                const QRect common = w->geometry() & sibling->geometry();
                EXPECT_FALSE(common.width() > 4 && common.height() > 4)
                    << name.toStdString() << " covers " << sibling->objectName().toStdString();
            }
        }
    }
}

TEST_F(ScreenTest, StartingState)
{
    EXPECT_FALSE(screen.cmdAddPO->isEnabled());
    EXPECT_FALSE(screen.cmdRemovePO->isEnabled());
    EXPECT_TRUE(screen.fraAdPOManually->isHidden());
    EXPECT_TRUE(screen.txtErrorMessage->isHidden());
    EXPECT_TRUE(screen.optProspectivePOs->isChecked());
    for (QLineEdit* header : {screen.txtLoadID, screen.txtTruckNumber, screen.txtLoadDate, screen.txtDriver})
        EXPECT_TRUE(header->isReadOnly());
    EXPECT_TRUE(screen.Frame4->font().bold());
    EXPECT_FALSE(screen.txtLoadID->font().bold()); // a frame's font does not pass to what it holds
    EXPECT_FALSE(screen.lstVendors->isMultiSelect());
    EXPECT_FALSE(screen.lstAllSelectedPOs->isMultiSelect());
    EXPECT_TRUE(screen.lstProspectivePOs->isMultiSelect());
    EXPECT_TRUE(screen.lstSelectedPOs->isMultiSelect());
    for (int column : {2, 4, 5, 6}) // the load list keeps these values out of sight
        EXPECT_TRUE(screen.lstAllSelectedPOs->isColumnHidden(column)) << column;
}

} // namespace
