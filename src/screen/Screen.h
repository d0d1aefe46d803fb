#pragma once

#include <QCoreApplication>
#include <QFont>
#include <QString>

#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

class QGroupBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QWidget;

namespace palletry {

class FlexGrid;
class ListView;

/**
 * The control's one fixed screen: the tab strip with its three tabs and every
 * frame, label, field, button, list and grid on them, built once as children
 * of the control in their starting state. Each element is a real widget whose
 * objectName is its name; the members below give typed access to them.
 *
 * Screen only builds; the control wires the elements to its handlers. The
 * widgets belong to the control (Qt parent), Screen merely points at them.
 *
 * Every caption, heading and tooltip goes through tr() with the English text
 * as its source. Every field, list, grid and button carries an accessible name
 * (what a person would call it) and each list and grid a description of what
 * it holds, for screen readers and UI-automation tools.
 */
/**
 * The columns of lstAllSelectedPOs, the orders on the load: the order id is the
 * row's text, the others its sub-items.
 */
namespace LoadColumn {
enum : int {
    OrderID = 0,
    MemberID = 1,
    CenterID = 2,
    VendorID = 3,
    FreightGroup = 4,
    PostalCode = 5,
    MaxSequence = 6, ///< the order's segment on the load
    Cartons = 7,
    CenterName = 8,
};
} // namespace LoadColumn

class Screen
{
    Q_DECLARE_TR_FUNCTIONS(Screen)

public:
    /// Heights of the tab strip and of the control, in twips.
    static constexpr int TabStripWidthTwips = 8445;
    static constexpr int DesignTabStripHeightTwips = 9135;
    static constexpr int SmallHeightTwips = 4815;            ///< tab strip and control, compact
    static constexpr int LargeTabStripHeightTwips = 8655;    ///< while the lower panels are in use
    static constexpr int LargeControlHeightTwips = 8670;
    /// How many characters the clerk may type into txtAddPO (an id the program puts there stays whole).
    static constexpr int AddPOTypedLength = 11;
    /// The tab header row at the top of the tab strip: elements placed on a tab
    /// are measured from the strip's top-left, so this much lies above a page.
    static constexpr int TabHeaderTwips = 330;

    explicit Screen(QWidget* control);
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;
    ~Screen();

    /// Sets the height of the tab strip; its width stays.
    void setTabStripHeightTwips(int twips);

    /// Every caption, heading, tip and spoken name again, in the language now installed.
    void retranslate();

    /**
     * Access keys for what carries none in its caption, heard while the focus is
     * in @p control: Alt+I "Find", Alt+O "Add P O", Alt+P the PO field of the tab
     * shown ("Find P.O." or "Add to Selected P O:"), Alt+N and Alt+W its carton and
     * weight fields, Alt+L its line-item grid. A button is pressed, a field or grid
     * takes the focus; each only while in view and available and while @p allowed
     * says so. No caption changes, and no key repeats one of the captions' own.
     */
    void addAccessKeys(QWidget* control, std::function<bool()> allowed);

    /// The tab captions, untranslated.
    static constexpr const char* TabCaptions[3] = {QT_TR_NOOP("Load/Vendor"), QT_TR_NOOP("Vendor Details"),
                                                   QT_TR_NOOP("All Selected POs")};

    QTabWidget* tabPalletry;

    // Tab 0, "Load/Vendor"
    QFrame* Frame1;
    QGroupBox* Frame4;
    QLabel* lblLoadID;
    QLineEdit* txtLoadID;
    QLabel* lblTruckNumber;
    QLineEdit* txtTruckNumber;
    QLabel* lblLoadDate;
    QLineEdit* txtLoadDate;
    QLabel* lblDriver;
    QLineEdit* txtDriver;
    QGroupBox* Frame2;
    ListView* lstVendors;
    QPushButton* cmdViewDetails;
    QPushButton* cmdViewAll;
    QLabel* lblVersionNumber;

    // Tab 1, "Vendor Details"
    QFrame* Frame5;
    QLabel* lblVendorName;
    QFrame* Frame6;
    QLabel* Label1;
    ListView* lstProspectivePOs;
    QPushButton* cmdSelect;
    QPushButton* cmdSelectAll;
    QPushButton* cmdRemove;
    QPushButton* cmdRemoveAll;
    QLabel* Label2;
    ListView* lstSelectedPOs;
    QGroupBox* Frame3;
    QLabel* Label4;
    QLineEdit* txtFindPO;
    QPushButton* cmdFind;
    QLabel* Label3;
    QRadioButton* optProspectivePOs;
    QRadioButton* optSelectedPOs;
    QGroupBox* fraOrderDetails;
    QLabel* lblNumberOfCartons;
    QLineEdit* txtNumberOfCartons;
    FlexGrid* grdOrdItems;
    QFrame* fraLineItemDetails;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* lblLineItem;
    QLabel* lblModel;
    QLineEdit* txtUnitWeight;
    QPushButton* cmdSaveVendorDetails;
    QPushButton* cmdCancelVendorDetails;
    QPushButton* cmdFinished;

    // Tab 2, "All Selected POs"
    QFrame* Frame7;
    ListView* lstAllSelectedPOs;
    QLabel* lblAddPO;
    QLineEdit* txtAddPO;
    QPushButton* cmdAddPO;
    QPushButton* cmdRemovePO;
    QPushButton* cmdDone;
    QPlainTextEdit* txtErrorMessage;
    QGroupBox* fraAdPOManually;
    QLineEdit* txtManualPONumberOfCartons;
    QLabel* Label13;
    FlexGrid* grdManualPOItems;
    QFrame* Frame9;
    QLabel* Label12;
    QLabel* Label11;
    QLabel* Label10;
    QLabel* lblManualPOLineItem;
    QLabel* lblManualPOModel;
    QLineEdit* txtManualPOUnitWeight;
    QPushButton* cmdManualPOSave;
    QPushButton* cmdManualPOCancel;

private:
    template <typename W>
    W* element(QWidget* container, const char* name, int left, int top, int width, int height, int tabOrder,
               const QFont& font);
    QGroupBox* frame(QWidget* container, const char* name, const char* caption, int left, int top, int width,
                     int height, int tabOrder, const QFont& font);
    QFrame* plainFrame(QWidget* container, const char* name, int left, int top, int width, int height,
                       int tabOrder);
    QLabel* label(QWidget* container, const char* name, const char* caption, int left, int top, int width,
                  int height, int tabOrder, const QFont& font);
    QLineEdit* textField(QWidget* container, const char* name, int left, int top, int width, int height,
                         int tabOrder, const QFont& font);
    QPushButton* button(QWidget* container, const char* name, const char* caption, int left, int top,
                        int width, int height, int tabOrder, const QFont& font);

    /// Sets @p property of @p object to the translation of @p source, and again at each retranslate().
    void translated(QObject* object, const char* property, const char* source);
    struct Heading
    {
        const char* source;
        int widthTwips;
        Qt::Alignment alignment;
    };
    /// The columns of @p list, their headings translated now and at each retranslate().
    void columns(ListView* list, std::initializer_list<Heading> headings);

    void buildLoadVendorTab(QWidget* page);
    void buildVendorDetailsTab(QWidget* page);
    void buildAllSelectedTab(QWidget* page);
    void nameForAssistiveTools();

    QWidget* m_pages[3] = {};
    std::vector<std::pair<int, QWidget*>> m_tabOrder; ///< gathered while building
    struct Text
    {
        QObject* object;
        const char* property;
        const char* source;
    };
    std::vector<Text> m_texts;
    std::vector<std::pair<ListView*, std::vector<Heading>>> m_headings;
};

} // namespace palletry
