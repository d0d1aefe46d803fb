#include "screen/Screen.h"

#include <cctype>
#include <cstring>

#include <QFontDatabase>

#include "screen/FlexGrid.h"
#include "screen/ListView.h"
#include "screen/Twips.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTabWidget>

#include <algorithm>
#include <limits>

namespace palletry {

namespace {

QFont makeFont(const QString& family, qreal points, bool bold)
{
    QFont font;
    // The screen was drawn with Windows fonts; elsewhere a plain sans serif stands in.
    font.setFamilies({family, QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Sans Serif")});
    // The usual stand-ins are wider than those fonts, and the layout is fixed:
    // a narrower cut keeps the captions inside their boxes.
    const QStringList installed = QFontDatabase::families();
    if (!installed.contains(family) && !installed.contains(QStringLiteral("Microsoft Sans Serif")))
        font.setStretch(QFont::SemiCondensed);
    font.setPointSizeF(points);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setItalic(false);
    return font;
}

QFont sansSerif() { return makeFont(QStringLiteral("MS Sans Serif"), 8.25, false); }
QFont sansSerifBold() { return makeFont(QStringLiteral("MS Sans Serif"), 8.25, true); }
QFont tahoma() { return makeFont(QStringLiteral("Tahoma"), 8.25, false); }
QFont tahomaBold() { return makeFont(QStringLiteral("Tahoma"), 8.25, true); }
QFont tahoma9Bold() { return makeFont(QStringLiteral("Tahoma"), 9, true); }

void readOnlyHeaderField(QLineEdit* field)
{
    field->setReadOnly(true);
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    field->setPalette(palette);
}

/// A caption as a person says it: without its access-key marker and closing colon.
QString spokenCaption(QString caption)
{
    QString spoken;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && ++i == caption.size())
            break; // "&x" shows x, "&&" shows one "&"
        spoken += caption[i];
    }
    caption = spoken.trimmed();
    if (caption.endsWith(QLatin1Char(':')))
        caption.chop(1);
    return caption.trimmed();
}

void borderedValue(QLabel* label)
{
    label->setFrameStyle(QFrame::Box | QFrame::Plain);
    label->setLineWidth(1);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

} // namespace

template <typename W>
W* Screen::element(QWidget* container, const char* name, int left, int top, int width, int height, int tabOrder,
                   const QFont& font)
{
    auto* widget = new W(container);
    widget->setObjectName(QString::fromLatin1(name));
    // Elements placed directly on a tab are measured from the tab strip's
    // top-left, where the tab header row takes the first TabHeaderTwips; a tab
    // page starts below that row, so the header row's height comes off their Top.
    const bool onTabPage = std::find(std::begin(m_pages), std::end(m_pages), container) != std::end(m_pages);
    if (onTabPage)
        top = std::max(0, top - TabHeaderTwips);
    widget->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
    // Every element names its own font: a frame's font is not its contents' font.
    widget->setFont(font);
    m_tabOrder.emplace_back(tabOrder, widget);
    return widget;
}

QGroupBox* Screen::frame(QWidget* container, const char* name, const char* caption, int left, int top,
                         int width, int height, int tabOrder, const QFont& font)
{
    auto* box = element<QGroupBox>(container, name, left, top, width, height, tabOrder, font);
    translated(box, "title", caption);
    return box;
}

QFrame* Screen::plainFrame(QWidget* container, const char* name, int left, int top, int width, int height,
                           int tabOrder)
{
    auto* box = element<QFrame>(container, name, left, top, width, height, tabOrder, sansSerif());
    box->setFrameStyle(QFrame::Box | QFrame::Sunken);
    return box;
}

QLabel* Screen::label(QWidget* container, const char* name, const char* caption, int left, int top, int width,
                      int height, int tabOrder, const QFont& font)
{
    auto* text = element<QLabel>(container, name, left, top, width, height, tabOrder, font);
    translated(text, "text", caption);
    text->setTextFormat(Qt::PlainText);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return text;
}

QLineEdit* Screen::textField(QWidget* container, const char* name, int left, int top, int width, int height,
                             int tabOrder, const QFont& font)
{
    auto* field = element<QLineEdit>(container, name, left, top, width, height, tabOrder, font);
    // Text fields take any length unless told otherwise.
    field->setMaxLength(std::numeric_limits<int>::max());
    return field;
}

QPushButton* Screen::button(QWidget* container, const char* name, const char* caption, int left, int top,
                            int width, int height, int tabOrder, const QFont& font)
{
    auto* push = element<QPushButton>(container, name, left, top, width, height, tabOrder, font);
    translated(push, "text", caption);
    push->setAutoDefault(false);
    return push;
}

Screen::Screen(QWidget* control)
{
    tabPalletry = new QTabWidget(control);
    tabPalletry->setObjectName(QStringLiteral("tabPalletry"));
    tabPalletry->setFont(sansSerif());
    tabPalletry->setGeometry(0, 0, twipsToPixels(TabStripWidthTwips), twipsToPixels(DesignTabStripHeightTwips));
    for (int i = 0; i < 3; ++i) {
        m_pages[i] = new QWidget;
        m_pages[i]->setObjectName(QStringLiteral("tabPalletryPage%1").arg(i));
        tabPalletry->addTab(m_pages[i], tr(TabCaptions[i]));
    }
    m_tabOrder.emplace_back(0, tabPalletry);

    buildLoadVendorTab(m_pages[0]);
    buildVendorDetailsTab(m_pages[1]);
    buildAllSelectedTab(m_pages[2]);
    nameForAssistiveTools();

    std::stable_sort(m_tabOrder.begin(), m_tabOrder.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    // Only widgets that take focus by Tab are chained: moving a frame in the
    // chain would drag its contents along and undo the order set before.
    QWidget* previous = nullptr;
    for (const auto& [order, widget] : m_tabOrder) {
        if (!(widget->focusPolicy() & Qt::TabFocus))
            continue;
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
    m_tabOrder.clear();
    m_tabOrder.shrink_to_fit();
}

Screen::~Screen() = default;

void Screen::translated(QObject* object, const char* property, const char* source)
{
    // Empty and symbol captions ("", ">>") are no words: they stay as they are.
    if (std::none_of(source, source + std::strlen(source), [](char c) { return std::isalpha(uchar(c)); })) {
        object->setProperty(property, QString::fromLatin1(source));
        return;
    }
    object->setProperty(property, tr(source));
    m_texts.push_back({object, property, source});
}

void Screen::columns(ListView* list, std::initializer_list<Heading> headings)
{
    QVector<ListColumn> columns;
    for (const Heading& heading : headings)
        columns.push_back({tr(heading.source), heading.widthTwips, heading.alignment});
    list->setColumns(columns);
    m_headings.push_back({list, std::vector<Heading>(headings)});
}

void Screen::retranslate()
{
    for (int i = 0; i < 3; ++i)
        tabPalletry->setTabText(i, tr(TabCaptions[i]));
    for (const Text& text : m_texts)
        text.object->setProperty(text.property, tr(text.source));
    for (const auto& [list, headings] : m_headings)
        for (int column = 0; column < int(headings.size()); ++column)
            list->setHeading(column, tr(headings[column].source));
    nameForAssistiveTools();
}

void Screen::addAccessKeys(QWidget* control, std::function<bool()> allowed)
{
    const std::pair<const char*, std::vector<QWidget*>> keys[] = {
        {"Alt+I", {cmdFind}},
        {"Alt+O", {cmdAddPO}},
        {"Alt+P", {txtFindPO, txtAddPO}},
        {"Alt+N", {txtNumberOfCartons, txtManualPONumberOfCartons}},
        {"Alt+W", {txtUnitWeight, txtManualPOUnitWeight}},
        {"Alt+L", {grdOrdItems, grdManualPOItems}},
    };
    for (const auto& [key, targets] : keys) {
        // One shortcut per key: two live ones on the same key would each refuse to fire.
        auto* shortcut = new QShortcut(QKeySequence(QLatin1String(key)), control);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        QObject::connect(shortcut, &QShortcut::activated, control, [targets = targets, allowed] {
            if (!allowed())
                return;
            for (QWidget* target : targets) {
                if (!target->isVisible() || !target->isEnabled())
                    continue;
                if (auto* button = qobject_cast<QPushButton*>(target))
                    button->click();
                else
                    target->setFocus(Qt::ShortcutFocusReason); // a field's text is then chosen whole
                return;
            }
        });
    }
}

void Screen::setTabStripHeightTwips(int twips)
{
    tabPalletry->resize(tabPalletry->width(), twipsToPixels(twips));
}

void Screen::buildLoadVendorTab(QWidget* page)
{
    Frame1 = plainFrame(page, "Frame1", 90, 330, 8250, 3930, 1);
    Frame4 = frame(Frame1, "Frame4", QT_TR_NOOP("Load Details"), 90, 120, 8055, 1050, 2, tahomaBold());
    lblLoadID = label(Frame4, "lblLoadID", QT_TR_NOOP("Load ID"), 120, 300, 660, 255, 6, tahoma());
    txtLoadID = textField(Frame4, "txtLoadID", 1200, 240, 2895, 285, 35, sansSerif());
    readOnlyHeaderField(txtLoadID);
    lblTruckNumber = label(Frame4, "lblTruckNumber", QT_TR_NOOP("Truck Number"), 120, 615, 990, 195, 7, tahoma());
    lblTruckNumber->adjustSize();
    txtTruckNumber = textField(Frame4, "txtTruckNumber", 1200, 615, 2895, 285, 5, tahoma());
    readOnlyHeaderField(txtTruckNumber);
    lblLoadDate = label(Frame4, "lblLoadDate", QT_TR_NOOP("Load Date"), 4560, 255, 750, 195, 8, tahoma());
    lblLoadDate->adjustSize();
    txtLoadDate = textField(Frame4, "txtLoadDate", 5400, 255, 2550, 285, 4, tahoma());
    readOnlyHeaderField(txtLoadDate);
    lblDriver = label(Frame4, "lblDriver", QT_TR_NOOP("Carrier"), 4560, 615, 495, 195, 9, tahoma());
    lblDriver->adjustSize();
    txtDriver = textField(Frame4, "txtDriver", 5400, 615, 2550, 285, 3, tahoma());
    readOnlyHeaderField(txtDriver);

    Frame2 = frame(Frame1, "Frame2", QT_TR_NOOP("Vendor Details"), 90, 1170, 8055, 2655, 10, tahomaBold());
    lstVendors = element<ListView>(Frame2, "lstVendors", 75, 210, 7890, 2355, 11, sansSerif());
    columns(lstVendors, {{QT_TR_NOOP("Vendor ID"), 1200, Qt::AlignLeft},
                            {QT_TR_NOOP("Name of Vendor"), 6400, Qt::AlignLeft}});
    lstVendors->setMultiSelect(false);

    cmdViewDetails = button(page, "cmdViewDetails", QT_TR_NOOP("View &Details"), 5760, 4320, 1215, 375, 28,
                            sansSerif());
    cmdViewAll = button(page, "cmdViewAll", QT_TR_NOOP("View &All"), 7080, 4320, 1215, 375, 29, sansSerif());
    lblVersionNumber = label(page, "lblVersionNumber", "", 105, 4350, 2505, 345, 40, sansSerif());
}

void Screen::buildVendorDetailsTab(QWidget* page)
{
    Frame5 = plainFrame(page, "Frame5", 90, 330, 8250, 3930, 12);
    lblVendorName = label(Frame5, "lblVendorName", QT_TR_NOOP("Name of Vendor"), 165, 165, 7860, 255, 34,
                          tahoma9Bold());
    Frame6 = plainFrame(Frame5, "Frame6", 90, 360, 8055, 2670, 13);
    Label1 = label(Frame6, "Label1", QT_TR_NOOP("Prospective Order(s)"), 120, 180, 1500, 195, 21, tahoma());
    Label1->adjustSize();
    lstProspectivePOs = element<ListView>(Frame6, "lstProspectivePOs", 75, 420, 3000, 2160, 19, tahoma());
    columns(lstProspectivePOs, {{QT_TR_NOOP("OrderID"), 1200, Qt::AlignLeft},
                                   {QT_TR_NOOP("Center"), 2225, Qt::AlignLeft}});
    lstProspectivePOs->setMultiSelect(true);
    translated(lstProspectivePOs, "toolTip", QT_TR_NOOP("Double Click to add order to load"));
    cmdSelect = button(Frame6, "cmdSelect", ">", 3135, 690, 495, 375, 14, tahoma());
    cmdSelectAll = button(Frame6, "cmdSelectAll", ">>", 3135, 1170, 495, 375, 15, tahoma());
    cmdRemove = button(Frame6, "cmdRemove", "<", 3135, 1650, 495, 375, 16, tahoma());
    cmdRemoveAll = button(Frame6, "cmdRemoveAll", "<<", 3135, 2130, 495, 375, 17, tahoma());
    Label2 = label(Frame6, "Label2", QT_TR_NOOP("Selected Order(s)"), 4320, 195, 1275, 195, 20, tahoma());
    Label2->adjustSize();
    lstSelectedPOs = element<ListView>(Frame6, "lstSelectedPOs", 3690, 420, 4260, 2145, 18, tahoma());
    columns(lstSelectedPOs, {{QT_TR_NOOP("OrderID"), 1200, Qt::AlignLeft},
                                {QT_TR_NOOP("# Cartons"), 950, Qt::AlignRight},
                                {QT_TR_NOOP("Center Name"), 2000, Qt::AlignRight}});
    lstSelectedPOs->setMultiSelect(true);
    translated(lstSelectedPOs, "toolTip", QT_TR_NOOP("Double Click to edit # of Cartons"));

    Frame3 = frame(Frame5, "Frame3", QT_TR_NOOP("Search P.O."), 90, 3030, 8070, 810, 22, tahomaBold());
    Label4 = label(Frame3, "Label4", QT_TR_NOOP("Find P.O."), 240, 285, 675, 210, 25, tahoma());
    txtFindPO = textField(Frame3, "txtFindPO", 1080, 285, 2895, 285, 24, tahoma());
    cmdFind = button(Frame3, "cmdFind", QT_TR_NOOP("Find"), 4200, 240, 855, 375, 23, tahoma());
    Label3 = label(Frame3, "Label3", QT_TR_NOOP("Search In:"), 5400, 240, 750, 195, 30, tahoma());
    Label3->adjustSize();
    optProspectivePOs = element<QRadioButton>(Frame3, "optProspectivePOs", 6240, 225, 1575, 255, 31, tahoma());
    translated(optProspectivePOs, "text", QT_TR_NOOP("Prospective POs"));
    optSelectedPOs = element<QRadioButton>(Frame3, "optSelectedPOs", 6240, 495, 1335, 255, 32, tahoma());
    translated(optSelectedPOs, "text", QT_TR_NOOP("Selected POs"));
    optProspectivePOs->setChecked(true); // siblings in one frame: choosing one clears the other

    fraOrderDetails = frame(page, "fraOrderDetails", QT_TR_NOOP("Order Details"), 90, 4320, 8250, 4215, 42,
                            sansSerifBold());
    lblNumberOfCartons = label(fraOrderDetails, "lblNumberOfCartons", QT_TR_NOOP("Number of Cartons"), 120, 360,
                               1695, 255, 54, sansSerifBold());
    txtNumberOfCartons = textField(fraOrderDetails, "txtNumberOfCartons", 1920, 360, 975, 285, 53, sansSerif());
    grdOrdItems = element<FlexGrid>(fraOrderDetails, "grdOrdItems", 120, 720, 7935, 1935, 43, sansSerif());
    fraLineItemDetails = plainFrame(fraOrderDetails, "fraLineItemDetails", 120, 2640, 7935, 1455, 44);
    Label5 = label(fraLineItemDetails, "Label5", QT_TR_NOOP("Line Item#"), 120, 120, 1035, 210, 45, tahomaBold());
    Label6 = label(fraLineItemDetails, "Label6", QT_TR_NOOP("Model"), 1470, 120, 615, 210, 46, tahomaBold());
    Label7 = label(fraLineItemDetails, "Label7", QT_TR_NOOP("Weight"), 2685, 120, 1095, 210, 47, tahomaBold());
    lblLineItem = label(fraLineItemDetails, "lblLineItem", "", 120, 360, 855, 285, 48, sansSerif());
    borderedValue(lblLineItem);
    lblModel = label(fraLineItemDetails, "lblModel", "", 1200, 360, 1095, 285, 49, sansSerif());
    borderedValue(lblModel);
    txtUnitWeight = textField(fraLineItemDetails, "txtUnitWeight", 2520, 360, 975, 285, 50, sansSerif());
    cmdSaveVendorDetails = button(fraLineItemDetails, "cmdSaveVendorDetails", QT_TR_NOOP("&Save"), 120, 960,
                                  1215, 375, 52, sansSerif());
    cmdCancelVendorDetails = button(fraLineItemDetails, "cmdCancelVendorDetails", QT_TR_NOOP("&Cancel"), 1560,
                                    960, 1215, 375, 51, sansSerif());
    cmdFinished = button(fraLineItemDetails, "cmdFinished", QT_TR_NOOP("&Done"), 3000, 960, 1215, 375, 55,
                         sansSerif());
}

void Screen::buildAllSelectedTab(QWidget* page)
{
    Frame7 = plainFrame(page, "Frame7", 90, 330, 8250, 3930, 26);
    lstAllSelectedPOs = element<ListView>(Frame7, "lstAllSelectedPOs", 75, 165, 8085, 3675, 27, tahoma());
    columns(lstAllSelectedPOs, {{QT_TR_NOOP("OrderID"), 1440, Qt::AlignLeft},
                                   {QT_TR_NOOP("MemberID"), 1000, Qt::AlignRight},
                                   {QT_TR_NOOP("CenterID"), 0, Qt::AlignRight},
                                   {QT_TR_NOOP("VendorID"), 1000, Qt::AlignRight},
                                   {QT_TR_NOOP("FreightGroup"), 0, Qt::AlignRight},
                                   {QT_TR_NOOP("PostalCode"), 0, Qt::AlignRight},
                                   {QT_TR_NOOP("MaxSequence"), 0, Qt::AlignRight},
                                   {QT_TR_NOOP("# Cartons"), 1000, Qt::AlignRight},
                                   {QT_TR_NOOP("Center Name"), 3540, Qt::AlignLeft}});
    lstAllSelectedPOs->setMultiSelect(false);
    // "Remove" deletes the highlighted order: a refill must not choose one for the clerk.
    lstAllSelectedPOs->setHighlightsFirstRow(false);
    translated(lstAllSelectedPOs, "toolTip", QT_TR_NOOP("Double Click to edit # of Cartons"));

    lblAddPO = label(page, "lblAddPO", QT_TR_NOOP("Add to Selected P O:"), 135, 4410, 1515, 195, 39, sansSerif());
    txtAddPO = textField(page, "txtAddPO", 1665, 4350, 1905, 330, 38, sansSerif());
    cmdAddPO = button(page, "cmdAddPO", QT_TR_NOOP("Add P O"), 3705, 4320, 1245, 360, 37, sansSerif());
    cmdAddPO->setEnabled(false);
    cmdRemovePO = button(page, "cmdRemovePO", QT_TR_NOOP("&Remove"), 5760, 4320, 1215, 375, 36, sansSerif());
    cmdRemovePO->setEnabled(false);
    cmdDone = button(page, "cmdDone", QT_TR_NOOP("&Done"), 7125, 4320, 1215, 375, 33, sansSerif());

    txtErrorMessage = element<QPlainTextEdit>(page, "txtErrorMessage", 3960, 0, 4455, 315, 41, sansSerif());
    txtErrorMessage->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    translated(txtErrorMessage, "plainText", QT_TR_NOOP("This control is for error handling. So I set it to invisible."));
    txtErrorMessage->hide();

    fraAdPOManually = frame(page, "fraAdPOManually", QT_TR_NOOP("Order Details"), 120, 4680, 8250, 3855, 56,
                            sansSerifBold());
    txtManualPONumberOfCartons = textField(fraAdPOManually, "txtManualPONumberOfCartons", 1920, 250, 975, 285, 57,
                                           sansSerif());
    Label13 = label(fraAdPOManually, "Label13", QT_TR_NOOP("Number of Cartons"), 120, 300, 1695, 255, 67,
                    sansSerifBold());
    grdManualPOItems = element<FlexGrid>(fraAdPOManually, "grdManualPOItems", 120, 600, 7935, 1815, 66, sansSerif());
    Frame9 = plainFrame(fraAdPOManually, "Frame9", 120, 2400, 7935, 1335, 58);
    Label12 = label(Frame9, "Label12", QT_TR_NOOP("Line Item#"), 120, 120, 1035, 210, 65, tahomaBold());
    Label11 = label(Frame9, "Label11", QT_TR_NOOP("Model"), 1470, 120, 615, 210, 64, tahomaBold());
    Label10 = label(Frame9, "Label10", QT_TR_NOOP("Weight"), 2685, 120, 1095, 210, 63, tahomaBold());
    lblManualPOLineItem = label(Frame9, "lblManualPOLineItem", "", 120, 360, 855, 285, 62, sansSerif());
    borderedValue(lblManualPOLineItem);
    lblManualPOModel = label(Frame9, "lblManualPOModel", "", 1200, 360, 1095, 285, 61, sansSerif());
    borderedValue(lblManualPOModel);
    txtManualPOUnitWeight = textField(Frame9, "txtManualPOUnitWeight", 2520, 360, 975, 285, 60, sansSerif());
    cmdManualPOSave = button(Frame9, "cmdManualPOSave", QT_TR_NOOP("&Save"), 120, 840, 1215, 375, 59,
                             sansSerif());
    cmdManualPOCancel = button(Frame9, "cmdManualPOCancel", QT_TR_NOOP("&Cancel"), 1560, 840, 1215, 375, 68,
                               sansSerif());
    fraAdPOManually->hide();
}

void Screen::nameForAssistiveTools()
{
    // Fields take the caption beside them, buttons the caption on them.
    const std::pair<QWidget*, QString> named[] = {
        {txtLoadID, lblLoadID->text()},
        {txtTruckNumber, lblTruckNumber->text()},
        {txtLoadDate, lblLoadDate->text()},
        {txtDriver, lblDriver->text()},
        {lstVendors, Frame2->title()},
        {cmdViewDetails, cmdViewDetails->text()},
        {cmdViewAll, cmdViewAll->text()},

        {lstProspectivePOs, Label1->text()},
        {lstSelectedPOs, Label2->text()},
        // The arrows are no words: the buttons say what they do.
        {cmdSelect, tr("Select")},
        {cmdSelectAll, tr("Select All")},
        {cmdRemove, tr("Remove")},
        {cmdRemoveAll, tr("Remove All")},
        {txtFindPO, Label4->text()},
        {cmdFind, cmdFind->text()},
        {optProspectivePOs, optProspectivePOs->text()},
        {optSelectedPOs, optSelectedPOs->text()},
        {txtNumberOfCartons, lblNumberOfCartons->text()},
        {grdOrdItems, fraOrderDetails->title()},
        {txtUnitWeight, Label7->text()},
        {cmdSaveVendorDetails, cmdSaveVendorDetails->text()},
        {cmdCancelVendorDetails, cmdCancelVendorDetails->text()},
        {cmdFinished, cmdFinished->text()},

        {lstAllSelectedPOs, tabPalletry->tabText(2)},
        {txtAddPO, lblAddPO->text()},
        {cmdAddPO, cmdAddPO->text()},
        {cmdRemovePO, cmdRemovePO->text()},
        {cmdDone, cmdDone->text()},
        {txtErrorMessage, tr("Error Message")},
        {txtManualPONumberOfCartons, Label13->text()},
        {grdManualPOItems, fraAdPOManually->title()},
        {txtManualPOUnitWeight, Label10->text()},
        {cmdManualPOSave, cmdManualPOSave->text()},
        {cmdManualPOCancel, cmdManualPOCancel->text()},
    };
    for (const auto& [widget, caption] : named)
        widget->setAccessibleName(spokenCaption(caption));

    translated(lstVendors, "accessibleDescription", QT_TR_NOOP("Every vendor: vendor ID and name"));
    translated(lstProspectivePOs, "accessibleDescription", QT_TR_NOOP("The chosen vendor's open orders that are not picked for the load, with their center"));
    translated(lstSelectedPOs, "accessibleDescription", QT_TR_NOOP("The chosen vendor's orders picked for the load, with their number of cartons and center"));
    translated(lstAllSelectedPOs, "accessibleDescription", QT_TR_NOOP("Every order on the load, whatever its vendor, with its number of cartons and center"));
    translated(grdOrdItems, "accessibleDescription", QT_TR_NOOP("Line items of the chosen order: line item, model and description"));
    translated(grdManualPOItems, "accessibleDescription", QT_TR_NOOP("Line items of the order being added: line item, model and description"));
}

} // namespace palletry
