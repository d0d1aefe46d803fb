#pragma once

// The control on a load of the reference service, driven by a clerk's clicks and keys.

#include "support/ControlRig.h"

#include <palletry_service/ReferenceService.h>

namespace palletry::test {

inline void clickRow(ListView& list, int pos, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QModelIndex index = list.model()->index(pos - 1, 0);
    list.scrollTo(index);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, modifiers, list.visualRect(index).center());
    settle();
}

inline void doubleClickRow(ListView& list, int pos)
{
    clickRow(list, pos);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, Qt::NoModifier,
                       list.visualRect(list.model()->index(pos - 1, 0)).center());
    settle();
}

inline int rowOf(const ListView& list, const QString& text)
{
    for (int pos = 1; pos <= list.count(); ++pos)
        if (list.text(pos) == text)
            return pos;
    return 0;
}

inline void clickCell(FlexGrid& grid, int row, int col)
{
    const QModelIndex index = grid.model()->index(row, col);
    grid.scrollTo(index);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, grid.visualRect(index).center());
    settle();
}

inline void click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
    settle();
}

inline void type(QLineEdit* field, const QString& text)
{
    field->setFocus();
    field->selectAll();
    if (text.isEmpty())
        QTest::keyClick(field, Qt::Key_Backspace);
    else
        QTest::keyClicks(field, text);
    settle();
}

using Texts = std::vector<std::string>;

inline constexpr qint32 Load = 1234;

// Vendor 42 with three open orders; 5001 was delivered in part twice before (segments 1, 2).
inline const char* const Seed[] = {
    "INSERT INTO Vendors(VendorID, Name) VALUES (42, 'Example Vendor')",
    "INSERT INTO Loads(IncomingLoadID, TruckNumber, LoadDate, Carrier) VALUES (1234, 'TRK-1234', '2026-12-01 00:00:00', 'Test')",
    "INSERT INTO Orders VALUES ('5001', 42, 3, 77, 'A', '12345', 1)",
    "INSERT INTO Orders VALUES ('00000005002', 42, 1, 78, 'B', '22222', 1)",
    "INSERT INTO Orders VALUES ('0000ABC1234', 42, 2, 79, 'C', '33333', 1)",
    "INSERT INTO LineItems VALUES ('5001', 1, 'MD-1', 'Sofa'), ('5001', 2, 'MD-2', 'Lamp'), ('5001', 3, 'MD-3', 'Rug')",
    "INSERT INTO LineItems VALUES ('00000005002', 1, 'MD-21', 'Chair'), ('00000005002', 2, 'MD-22', 'Desk')",
    "INSERT INTO LineItems VALUES ('0000ABC1234', 1, 'MD-31', 'Bed')",
    "INSERT INTO OrderSegments VALUES ('5001', 1, 1002, 5, '12345', 'A', '15', '2'), ('5001', 2, 1003, 6, '12345', 'A', '15', '2')",
};

inline std::string operationOf(const std::string& soapAction)
{
    return soapAction.substr(soapAction.rfind('/') + 1);
}

struct ClerkFixture : ::testing::Test
{
    palletry_service::ReferenceService service{palletry_service::Options::recording()};
    ControlRig rig;
    Palletry& control = rig.control;
    Palletry::Private& d = rig.d;
    Screen& s = d.screen;
    virtual Texts moreSeed() const { return {}; }
    // A test that opens loads itself says no.
    virtual bool opensTheLoad() const { return true; }
    void SetUp() override
    {
        ASSERT_TRUE(service.start());
        for (const char* sql : Seed)
            service.query(sql);
        for (const std::string& sql : moreSeed())
            service.query(sql);
        if (!opensTheLoad()) {
            service.clearRequests();
            return;
        }
        control.SetPersonInformation(QStringLiteral("15"), QStringLiteral("2"));
        control.LoadData(QString::fromStdString(service.serverName()), Load);
        control.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&control));
        ASSERT_EQ(rig.recorder.errorReportCount(), 0);
        service.clearRequests();
    }
    // Enabled as far as the widget itself goes (a tab the clerk cannot choose disables its page).
    static bool available(const QWidget* widget) { return widget->isEnabledTo(widget->parentWidget()); }
    Texts sent()
    {
        Texts ops;
        for (const auto& r : service.requests())
            ops.push_back(operationOf(r.soapAction));
        service.clearRequests();
        return ops;
    }
    std::string bodyOf(const std::string& operation)
    {
        for (const auto& r : service.requests())
            if (operationOf(r.soapAction) == operation)
                return r.body;
        return {};
    }
    QString lastPrompt() const
    {
        const auto& boxes = rig.recorder.boxes();
        return boxes.isEmpty() ? QString() : boxes.back().request.prompt;
    }
    void expectBox(const char* prompt, const char* title, QMessageBox::Icon icon)
    {
        ASSERT_FALSE(rig.recorder.boxes().isEmpty());
        const MessageBoxRequest& box = rig.recorder.boxes().back().request;
        EXPECT_EQ(box.prompt, QString::fromUtf8(prompt));
        EXPECT_EQ(box.title, QString::fromUtf8(title));
        EXPECT_EQ(box.icon, icon);
    }
    int shown(const char* prompt) const
    {
        int n = 0;
        for (const auto& box : rig.recorder.boxes())
            n += box.request.prompt == QLatin1String(prompt);
        return n;
    }
    int successes() const { return shown("Data has been saved successfully!!!"); }
    void openVendor(const QString& vendor)
    {
        clickRow(*s.lstVendors, rowOf(*s.lstVendors, vendor));
        click(s.cmdViewDetails);
    }
    void openOrder(const QString& order) { clickRow(*s.lstSelectedPOs, rowOf(*s.lstSelectedPOs, order)); }
    /// A line item saved on the vendor's tab, or with @p manual in the panel of a PO added by hand.
    void save(const QString& cartons, const QString& weight, bool manual = false)
    {
        QLineEdit* count = manual ? s.txtManualPONumberOfCartons : s.txtNumberOfCartons;
        if (count->isEnabled())
            type(count, cartons);
        type(manual ? s.txtManualPOUnitWeight : s.txtUnitWeight, weight);
        click(manual ? s.cmdManualPOSave : s.cmdSaveVendorDetails);
    }
    palletry_service::QueryRows rowsOf(const std::string& sql) { return service.query(sql); }
};

} // namespace palletry::test
