#include "screen/FlexGrid.h"
#include "screen/ListView.h"
#include "screen/Screen.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QHeaderView>
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

struct Element
{
    const char* name;
    const char* kind; ///< Qt class the widget must be
    const char* caption;
    int tabOrder;
};

// The layout tables: every element, its kind, its caption and its tab order.
const Element elements[] = {
    {"Frame1", "QFrame", "", 1},
    {"Frame4", "QGroupBox", "Load Details", 2},
    {"lblLoadID", "QLabel", "Load ID", 6},
    {"txtLoadID", "QLineEdit", "", 35},
    {"lblTruckNumber", "QLabel", "Truck Number", 7},
    {"txtTruckNumber", "QLineEdit", "", 5},
    {"lblLoadDate", "QLabel", "Load Date", 8},
    {"txtLoadDate", "QLineEdit", "", 4},
    {"lblDriver", "QLabel", "Carrier", 9},
    {"txtDriver", "QLineEdit", "", 3},
    {"Frame2", "QGroupBox", "Vendor Details", 10},
    {"lstVendors", "palletry::ListView", "", 11},
    {"cmdViewDetails", "QPushButton", "View &Details", 28},
    {"cmdViewAll", "QPushButton", "View &All", 29},
    {"lblVersionNumber", "QLabel", "", 40},
    {"Frame5", "QFrame", "", 12},
    {"lblVendorName", "QLabel", "Name of Vendor", 34},
    {"Frame6", "QFrame", "", 13},
    {"Label1", "QLabel", "Prospective Order(s)", 21},
    {"lstProspectivePOs", "palletry::ListView", "", 19},
    {"cmdSelect", "QPushButton", ">", 14},
    {"cmdSelectAll", "QPushButton", ">>", 15},
    {"cmdRemove", "QPushButton", "<", 16},
    {"cmdRemoveAll", "QPushButton", "<<", 17},
    {"Label2", "QLabel", "Selected Order(s)", 20},
    {"lstSelectedPOs", "palletry::ListView", "", 18},
    {"Frame3", "QGroupBox", "Search P.O.", 22},
    {"Label4", "QLabel", "Find P.O.", 25},
    {"txtFindPO", "QLineEdit", "", 24},
    {"cmdFind", "QPushButton", "Find", 23},
    {"Label3", "QLabel", "Search In:", 30},
    {"optProspectivePOs", "QRadioButton", "Prospective POs", 31},
    {"optSelectedPOs", "QRadioButton", "Selected POs", 32},
    {"fraOrderDetails", "QGroupBox", "Order Details", 42},
    {"lblNumberOfCartons", "QLabel", "Number of Cartons", 54},
    {"txtNumberOfCartons", "QLineEdit", "", 53},
    {"grdOrdItems", "palletry::FlexGrid", "", 43},
    {"fraLineItemDetails", "QFrame", "", 44},
    {"Label5", "QLabel", "Line Item#", 45},
    {"Label6", "QLabel", "Model", 46},
    {"Label7", "QLabel", "Weight", 47},
    {"lblLineItem", "QLabel", "", 48},
    {"lblModel", "QLabel", "", 49},
    {"txtUnitWeight", "QLineEdit", "", 50},
    {"cmdSaveVendorDetails", "QPushButton", "&Save", 52},
    {"cmdCancelVendorDetails", "QPushButton", "&Cancel", 51},
    {"cmdFinished", "QPushButton", "&Done", 55},
    {"Frame7", "QFrame", "", 26},
    {"lstAllSelectedPOs", "palletry::ListView", "", 27},
    {"lblAddPO", "QLabel", "Add to Selected P O:", 39},
    {"txtAddPO", "QLineEdit", "", 38},
    {"cmdAddPO", "QPushButton", "Add P O", 37},
    {"cmdRemovePO", "QPushButton", "&Remove", 36},
    {"cmdDone", "QPushButton", "&Done", 33},
    {"txtErrorMessage", "QPlainTextEdit", "This control is for error handling. So I set it to invisible.", 41},
    {"fraAdPOManually", "QGroupBox", "Order Details", 56},
    {"txtManualPONumberOfCartons", "QLineEdit", "", 57},
    {"Label13", "QLabel", "Number of Cartons", 67},
    {"grdManualPOItems", "palletry::FlexGrid", "", 66},
    {"Frame9", "QFrame", "", 58},
    {"Label12", "QLabel", "Line Item#", 65},
    {"Label11", "QLabel", "Model", 64},
    {"Label10", "QLabel", "Weight", 63},
    {"lblManualPOLineItem", "QLabel", "", 62},
    {"lblManualPOModel", "QLabel", "", 61},
    {"txtManualPOUnitWeight", "QLineEdit", "", 60},
    {"cmdManualPOSave", "QPushButton", "&Save", 59},
    {"cmdManualPOCancel", "QPushButton", "&Cancel", 68},
};

QString captionOf(const QWidget* w)
{
    if (auto* b = qobject_cast<const QAbstractButton*>(w))
        return b->text();
    if (auto* l = qobject_cast<const QLabel*>(w))
        return l->text();
    if (auto* g = qobject_cast<const QGroupBox*>(w))
        return g->title();
    if (auto* e = qobject_cast<const QLineEdit*>(w))
        return e->text();
    if (auto* p = qobject_cast<const QPlainTextEdit*>(w))
        return p->toPlainText();
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

TEST_F(ScreenTest, EveryElementExistsWithItsKindAndCaption)
{
    for (const Element& e : elements) {
        SCOPED_TRACE(e.name);
        auto* w = control.findChild<QWidget*>(QString::fromLatin1(e.name));
        ASSERT_NE(w, nullptr);
        EXPECT_STREQ(w->metaObject()->className(), e.kind);
        EXPECT_EQ(captionOf(w), QString::fromUtf8(e.caption));
    }
    ASSERT_EQ(control.findChild<QTabWidget*>("tabPalletry"), screen.tabPalletry);
    ASSERT_EQ(screen.tabPalletry->count(), 3);
    EXPECT_EQ(screen.tabPalletry->tabText(0), "Load/Vendor");
    EXPECT_EQ(screen.tabPalletry->tabText(1), "Vendor Details");
    EXPECT_EQ(screen.tabPalletry->tabText(2), "All Selected POs");
    // Each element sits on its tab.
    EXPECT_TRUE(screen.tabPalletry->widget(0)->isAncestorOf(screen.txtDriver));
    EXPECT_TRUE(screen.tabPalletry->widget(1)->isAncestorOf(screen.cmdFinished));
    EXPECT_TRUE(screen.tabPalletry->widget(2)->isAncestorOf(screen.cmdManualPOCancel));
    EXPECT_EQ(screen.lblLineItem->parentWidget(), screen.fraLineItemDetails);
}

TEST_F(ScreenTest, FocusMovesInTabOrder)
{
    std::map<QWidget*, int> order;
    for (const Element& e : elements) {
        auto* w = control.findChild<QWidget*>(QString::fromLatin1(e.name));
        if (w->focusPolicy() & Qt::TabFocus)
            order[w] = e.tabOrder;
    }
    int last = -1;
    int seen = 0;
    for (QWidget* w = screen.tabPalletry->nextInFocusChain(); w != screen.tabPalletry; w = w->nextInFocusChain()) {
        const auto it = order.find(w);
        if (it == order.end())
            continue;
        EXPECT_GT(it->second, last) << w->objectName().toStdString();
        last = it->second;
        ++seen;
    }
    EXPECT_EQ(seen, int(order.size()));
}

TEST_F(ScreenTest, ListColumnsAndSelectionModes)
{
    EXPECT_EQ(headers(screen.lstVendors), QStringList({"Vendor ID", "Name of Vendor"}));
    EXPECT_EQ(headers(screen.lstProspectivePOs), QStringList({"OrderID", "Center"}));
    EXPECT_EQ(headers(screen.lstSelectedPOs), QStringList({"OrderID", "# Cartons", "Center Name"}));
    EXPECT_EQ(headers(screen.lstAllSelectedPOs),
              QStringList({"OrderID", "MemberID", "CenterID", "VendorID", "FreightGroup", "PostalCode",
                           "MaxSequence", "# Cartons", "Center Name"}));
    EXPECT_EQ(screen.lstVendors->columnWidth(1), 427); // 6400 twips
    EXPECT_EQ(screen.lstSelectedPOs->columnWidth(1), 63); // 950 twips
    const auto alignment = [](ListView* list, int column) {
        return list->model()->headerData(column, Qt::Horizontal, Qt::TextAlignmentRole).toInt()
               & Qt::AlignHorizontal_Mask;
    };
    EXPECT_EQ(alignment(screen.lstSelectedPOs, 2), int(Qt::AlignRight));
    EXPECT_EQ(alignment(screen.lstAllSelectedPOs, 8), int(Qt::AlignLeft));
    EXPECT_EQ(alignment(screen.lstAllSelectedPOs, 7), int(Qt::AlignRight));

    EXPECT_FALSE(screen.lstVendors->isMultiSelect());
    EXPECT_FALSE(screen.lstAllSelectedPOs->isMultiSelect());
    EXPECT_TRUE(screen.lstProspectivePOs->isMultiSelect());
    EXPECT_TRUE(screen.lstSelectedPOs->isMultiSelect());
    EXPECT_EQ(screen.lstProspectivePOs->toolTip(), "Double Click to add order to load");
    EXPECT_EQ(screen.lstSelectedPOs->toolTip(), "Double Click to edit # of Cartons");
    EXPECT_EQ(screen.lstAllSelectedPOs->toolTip(), "Double Click to edit # of Cartons");
}

TEST_F(ScreenTest, HiddenColumnsTakeNoWidthButHoldTheirValues)
{
    ListView* list = screen.lstAllSelectedPOs;
    list->addRow({"PO1", "M1", "C1", "V1", "F1", "P1", "3", "12", "North"});
    for (int column : {2, 4, 5, 6}) {
        EXPECT_TRUE(list->isColumnHidden(column));
        EXPECT_EQ(list->header()->sectionSize(column), 0);
    }
    int shown = 0;
    for (int column = 0; column < 9; ++column)
        shown += list->isColumnHidden(column) ? 0 : list->columnWidth(column);
    EXPECT_EQ(shown, 96 + 67 + 67 + 67 + 236); // 1440, 1000, 1000, 1000, 3540 twips
    EXPECT_EQ(list->subItem(1, 6), "3");
    EXPECT_EQ(list->subItem(1, 5), "P1");

    screen.lstSelectedPOs->setColumnWidthTwips(1, 0);
    EXPECT_TRUE(screen.lstSelectedPOs->isColumnHidden(1));
}

TEST_F(ScreenTest, StartingState)
{
    EXPECT_FALSE(screen.cmdAddPO->isEnabled());
    EXPECT_FALSE(screen.cmdRemovePO->isEnabled());
    EXPECT_TRUE(screen.cmdDone->isEnabled());
    EXPECT_TRUE(screen.cmdViewDetails->isEnabled());
    EXPECT_TRUE(screen.fraAdPOManually->isHidden());
    EXPECT_TRUE(screen.txtErrorMessage->isHidden());
    EXPECT_FALSE(screen.fraOrderDetails->isHidden());
    EXPECT_TRUE(screen.optProspectivePOs->isChecked());
    EXPECT_FALSE(screen.optSelectedPOs->isChecked());
    screen.optSelectedPOs->click();
    EXPECT_FALSE(screen.optProspectivePOs->isChecked());

    for (QLineEdit* header : {screen.txtLoadID, screen.txtTruckNumber, screen.txtLoadDate, screen.txtDriver}) {
        EXPECT_TRUE(header->isReadOnly());
        EXPECT_EQ(header->palette().color(QPalette::Base), header->palette().color(QPalette::Button));
    }
    EXPECT_FALSE(screen.txtUnitWeight->isReadOnly());
    EXPECT_EQ(screen.txtErrorMessage->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(screen.lblLineItem->frameShape(), QFrame::Box);
    EXPECT_EQ(screen.grdOrdItems->rows(), 2);
    EXPECT_EQ(screen.grdManualPOItems->cols(), 2);
    EXPECT_EQ(screen.lstVendors->count(), 0);
}

TEST_F(ScreenTest, FontsAndGeometry)
{
    EXPECT_EQ(screen.Frame4->font().family(), "Tahoma");
    EXPECT_TRUE(screen.Frame4->font().bold());
    // A frame's font does not pass to what it holds.
    EXPECT_EQ(screen.txtLoadID->font().family(), "MS Sans Serif");
    EXPECT_FALSE(screen.txtLoadID->font().bold());
    EXPECT_EQ(screen.lblVendorName->font().pointSizeF(), 9.0);
    EXPECT_TRUE(screen.lblVendorName->font().bold());
    EXPECT_EQ(screen.lblNumberOfCartons->font().family(), "MS Sans Serif");
    EXPECT_TRUE(screen.lblNumberOfCartons->font().bold());
    EXPECT_EQ(screen.lstProspectivePOs->font().family(), "Tahoma");

    EXPECT_EQ(screen.tabPalletry->geometry(), QRect(0, 0, 563, 609));
    EXPECT_EQ(screen.txtLoadID->geometry(), QRect(80, 16, 193, 19));
    // On a tab page the tab header row comes off the top.
    EXPECT_EQ(screen.cmdViewDetails->geometry(), QRect(384, 266, 81, 25));
    screen.setTabStripHeightTwips(Screen::SmallHeightTwips);
    EXPECT_EQ(screen.tabPalletry->geometry(), QRect(0, 0, 563, 321));
}

TEST_F(ScreenTest, AddPORefusesTwelfthCharacter)
{
    QTest::keyClicks(screen.txtAddPO, "123456789012");
    EXPECT_EQ(screen.txtAddPO->text(), "12345678901");
    QTest::keyClicks(screen.txtFindPO, QString(40, 'x'));
    EXPECT_EQ(screen.txtFindPO->text().size(), 40);
}

} // namespace
