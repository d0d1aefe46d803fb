// What a screen reader or an automation tool finds: every field, list, grid and
// button of a tab under its own name, in English and in Spanish.

#include "support/QtPrinters.h"

#include <palletry/Palletry.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTranslator>
#include <gtest/gtest.h>

#include <memory>

namespace {

/// objectName -> accessible name of every named element of one tab, by what the accessibility layer reports.
QMap<QString, QString> accessibleNames(QWidget* page, QStringList* problems)
{
    QMap<QString, QString> names;
    QMap<QString, QString> owners;
    for (QWidget* w : page->findChildren<QWidget*>()) {
        const QString id = w->objectName();
        const bool element = !id.isEmpty() && !id.startsWith(QLatin1String("qt_"));
        const bool listOrGrid = qobject_cast<QAbstractItemView*>(w) != nullptr;
        if (!element || !(listOrGrid || qobject_cast<QLineEdit*>(w) || qobject_cast<QPlainTextEdit*>(w)
                          || qobject_cast<QAbstractButton*>(w)))
            continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        const QString name = a ? a->text(QAccessible::Name) : QString();
        if (name.isEmpty() || name.contains(QLatin1Char('&')) || name.endsWith(QLatin1Char(':')))
            *problems << id + QStringLiteral(": name '") + name + QLatin1Char('\'');
        if (owners.contains(name))
            *problems << id + QStringLiteral(" and ") + owners[name] + QStringLiteral(" share '") + name + QLatin1Char('\'');
        if (listOrGrid && (!a || a->text(QAccessible::Description).isEmpty()))
            *problems << id + QStringLiteral(": no description");
        owners[name] = id;
        names[id] = name;
    }
    return names;
}

} // namespace

TEST(Accessibility, EveryElementHasAUniqueSpokenNamePerTab)
{
    const QMap<QString, QString> english[3] = {
        {{"txtLoadID", "Load ID"}, {"txtTruckNumber", "Truck Number"}, {"txtLoadDate", "Load Date"},
         {"txtDriver", "Carrier"}, {"lstVendors", "Vendor Details"}, {"cmdViewDetails", "View Details"},
         {"cmdViewAll", "View All"}},
        {{"lstProspectivePOs", "Prospective Order(s)"}, {"lstSelectedPOs", "Selected Order(s)"},
         {"cmdSelect", "Select"}, {"cmdSelectAll", "Select All"}, {"cmdRemove", "Remove"},
         {"cmdRemoveAll", "Remove All"}, {"txtFindPO", "Find P.O."}, {"cmdFind", "Find"},
         {"optProspectivePOs", "Prospective POs"}, {"optSelectedPOs", "Selected POs"},
         {"txtNumberOfCartons", "Number of Cartons"}, {"grdOrdItems", "Order Details"}, {"txtUnitWeight", "Weight"},
         {"cmdSaveVendorDetails", "Save"}, {"cmdCancelVendorDetails", "Cancel"}, {"cmdFinished", "Done"}},
        {{"lstAllSelectedPOs", "All Selected POs"}, {"txtAddPO", "Add to Selected P O"}, {"cmdAddPO", "Add P O"},
         {"cmdRemovePO", "Remove"}, {"cmdDone", "Done"}, {"txtErrorMessage", "Error Message"},
         {"txtManualPONumberOfCartons", "Number of Cartons"}, {"grdManualPOItems", "Order Details"},
         {"txtManualPOUnitWeight", "Weight"}, {"cmdManualPOSave", "Save"}, {"cmdManualPOCancel", "Cancel"}},
    };
    for (const char* language : {"en", "es"}) {
        SCOPED_TRACE(language);
        std::unique_ptr<QTranslator> translator;
        if (QLatin1String(language) != QLatin1String("en")) {
            translator = std::make_unique<QTranslator>();
            ASSERT_TRUE(translator->load(QStringLiteral(":/palletry/i18n/palletry_%1.qm").arg(QLatin1String(language))));
            QCoreApplication::installTranslator(translator.get());
        }
        Palletry control;
        auto* tabs = control.findChild<QTabWidget*>(QStringLiteral("tabPalletry"));
        ASSERT_NE(tabs, nullptr);
        for (int tab = 0; tab < 3; ++tab) {
            QStringList problems;
            const QMap<QString, QString> names = accessibleNames(tabs->widget(tab), &problems);
            EXPECT_EQ(problems, QStringList()) << "tab " << tab;
            EXPECT_EQ(names.keys(), english[tab].keys()) << "tab " << tab;
            if (translator)
                EXPECT_NE(names, english[tab]) << "tab " << tab;
            else
                EXPECT_EQ(names, english[tab]) << "tab " << tab;
        }
        // The progress panel's Cancel too, apart from the panels' own "Cancel".
        QAccessibleInterface* cancel =
            QAccessible::queryAccessibleInterface(control.findChild<QWidget*>(QStringLiteral("cmdCancelCall")));
        ASSERT_NE(cancel, nullptr);
        EXPECT_EQ(cancel->text(QAccessible::Name),
                  translator ? QStringLiteral("Cancelar la llamada") : QStringLiteral("Cancel the call"));
    }
}
