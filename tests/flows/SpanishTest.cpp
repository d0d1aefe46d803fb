// With the Spanish translator installed the clerk reads Spanish, while every
// request and every event-log entry stays exactly as in English.

#include "ClerkFixture.h"

#include <palletry_version.h>

#include <QRegularExpression>
#include <QTranslator>

#include <memory>

using namespace palletry;
using namespace palletry::test;

namespace {

/// What one clerk's session showed and sent.
struct Session
{
    QStringList captions;
    QStringList prompts;
    QStringList log;
    QStringList requests; ///< SOAP action and body of each, the save's time stamps masked
    int vendorDetailsHeight = 0;
};

/// The same work in either language, each on a freshly seeded service: open the load, try to
/// save a line item without cartons, save it, then give a load id that cannot be sent.
Session work(bool spanish)
{
    std::unique_ptr<QTranslator> translator;
    if (spanish) {
        translator = std::make_unique<QTranslator>();
        EXPECT_TRUE(translator->load(QLocale(QLocale::Spanish), QStringLiteral("palletry"), QStringLiteral("_"),
                                     QStringLiteral(":/palletry/i18n")));
        QCoreApplication::installTranslator(translator.get());
    }
    palletry_service::ReferenceService service{palletry_service::Options::recording()};
    EXPECT_TRUE(service.start());
    for (const char* sql : Seed)
        service.query(sql);
    ControlRig rig;
    Screen& s = rig.d.screen;
    const QString server = QString::fromStdString(service.serverName());
    rig.control.SetPersonInformation(QStringLiteral("15"), QStringLiteral("2"));
    rig.control.LoadData(server, Load);
    clickRow(*s.lstVendors, rowOf(*s.lstVendors, QStringLiteral("42")));
    click(s.cmdViewDetails);
    Session seen;
    seen.vendorDetailsHeight = rig.control.height();
    click(s.cmdSelectAll);
    clickRow(*s.lstSelectedPOs, rowOf(*s.lstSelectedPOs, QStringLiteral("5001")));
    click(s.cmdSaveVendorDetails);
    type(s.txtNumberOfCartons, QStringLiteral("7"));
    type(s.txtUnitWeight, QStringLiteral("12.5"));
    click(s.cmdSaveVendorDetails);
    seen.captions << s.tabPalletry->tabText(0) << s.tabPalletry->tabText(1) << s.tabPalletry->tabText(2)
                  << s.cmdViewDetails->text() << s.lblVersionNumber->text()
                  << s.lstVendors->model()->headerData(1, Qt::Horizontal).toString()
                  << s.lstSelectedPOs->model()->headerData(1, Qt::Horizontal).toString() << s.Label7->text()
                  << s.grdOrdItems->text(0, 1);
    rig.control.LoadData(server, 40000);
    for (const ReportRecorder::Box& box : rig.recorder.boxes())
        seen.prompts << box.request.prompt;
    seen.log = rig.recorder.logTexts();
    static const QRegularExpression stamp(QStringLiteral("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d"));
    for (const auto& r : service.requests())
        seen.requests << QString::fromStdString(r.soapAction + '\n' + r.body).replace(stamp, QStringLiteral("STAMP"));
    return seen;
}

} // namespace

TEST(Spanish, TheClerkReadsSpanishAndTheWireStaysTheSame)
{
    const Session english = work(false);
    const Session spanish = work(true);
    const QString version = QStringLiteral("%1.%2.%3")
                                .arg(PALLETRY_VERSION_MAJOR)
                                .arg(PALLETRY_VERSION_MINOR)
                                .arg(PALLETRY_VERSION_REVISION);
    EXPECT_EQ(english.captions,
              (QStringList{"Load/Vendor", "Vendor Details", "All Selected POs", "View &Details",
                           "Version number: " + version, "Name of Vendor", "# Cartons", "Weight", "Line Item"}));
    EXPECT_EQ(spanish.captions,
              (QStringList{"Carga/Proveedor", "Detalles del proveedor", "Todas las OC seleccionadas", "Ver &detalles",
                           "Número de versión: " + version, "Nombre del proveedor", "Cajas", "Peso unitario",
                           "Partida"}));
    EXPECT_EQ(english.prompts, (QStringList{"Number of cartons has been left blank.", "Data has been saved successfully!!!",
                                            "An application error has occured. Please check the error logs"}));
    EXPECT_EQ(spanish.prompts,
              (QStringList{"Falta el número de cajas.", "¡Los datos se guardaron correctamente!",
                           "Se produjo un error en la aplicación. Revise los registros de errores"}));
    EXPECT_EQ(spanish.vendorDetailsHeight, english.vendorDetailsHeight); // the tall screen, whatever the caption
    EXPECT_EQ(spanish.log, english.log);
    EXPECT_EQ(spanish.requests, english.requests);
    EXPECT_EQ(english.requests.filter(QStringLiteral("<AddPODetails")).size(), 1);
}
