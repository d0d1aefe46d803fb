// With the Spanish translator installed the clerk reads Spanish, while every
// request and every event-log entry stays exactly as in English.

#include "support/ControlRig.h"
#include "support/QtPrinters.h"

#include "screen/FlexGrid.h"
#include "screen/ListView.h"

#include <palletry_service/ReferenceService.h>
#include <palletry_version.h>

#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTranslator>
#include <gtest/gtest.h>

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
    std::vector<std::string> requests; ///< SOAP action and body of each
};

Session work(bool spanish)
{
    std::unique_ptr<QTranslator> translator;
    if (spanish) {
        translator = std::make_unique<QTranslator>();
        EXPECT_TRUE(translator->load(QLocale(QLocale::Spanish), QStringLiteral("palletry"), QStringLiteral("_"),
                                     QStringLiteral(":/palletry/i18n")));
        QCoreApplication::installTranslator(translator.get());
    }
    palletry_service::ReferenceService service;
    EXPECT_TRUE(service.start());
    ControlRig rig;
    Palletry::Private& d = rig.d;
    const QString server = QString::fromStdString(service.serverName());

    rig.control.LoadData(server, service.demoLoadId());
    rig.control.LoadData(server, 40000); // out of range: an error report

    Session seen;
    const Screen& s = d.screen;
    seen.captions << s.tabPalletry->tabText(0) << s.tabPalletry->tabText(1) << s.tabPalletry->tabText(2)
                  << s.cmdViewDetails->text() << s.lblVersionNumber->text()
                  << s.lstVendors->model()->headerData(1, Qt::Horizontal).toString()
                  << s.lstSelectedPOs->model()->headerData(1, Qt::Horizontal).toString() << s.Label7->text()
                  << s.grdOrdItems->text(0, 1);
    for (const ReportRecorder::Box& box : rig.recorder.boxes())
        seen.prompts << box.request.prompt;
    seen.log = rig.recorder.logTexts();
    for (const auto& r : service.requests())
        seen.requests.push_back(r.soapAction + '\n' + r.body);
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
                           "Número de versión: " + version, "Nombre del proveedor", "Cajas", "Peso unitario", "Partida"}));
    EXPECT_EQ(english.prompts, QStringList{"An application error has occured. Please check the error logs"});
    EXPECT_EQ(spanish.prompts, QStringList{"Se produjo un error en la aplicación. Revise los registros de errores"});

    EXPECT_EQ(spanish.log, english.log);
    EXPECT_EQ(spanish.requests, english.requests);
    EXPECT_EQ(english.requests.size(), 3u);
}
