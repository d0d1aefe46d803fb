// palletry-demo: opens a load in the Palletry control.
//
// With no arguments it starts the bundled reference service on a free
// 127.0.0.1 port with its demo data and opens the demo load. --server URL
// --load N --person ID --person-type T point it at another service.
// --scanner switches on scanner-friendly entry (Enter goes on to the next
// step, the focus to where the next scan goes); --lang es shows the control in Spanish.
// On a machine without a display (Qt's offscreen platform) it renders each
// tab to a PNG in the folder given by --screenshots (default: a new temporary
// folder), then works the vendor details as a clerk would and renders them
// (vendor-details.png), types a PO into the manual-PO panel and renders that
// (manual-po.png), renders the vendor details at work once more in Spanish
// (tab1-es.png), saves the load as manifest.csv and its manifest as manifest.pdf
// with the first page as manifest.png, prints the files and exits.

#include "DemoWindow.h"

#include <palletry/Palletry.h>
#include <palletry_service/ReferenceService.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTranslator>

#include <memory>
#include <vector>

namespace {

/// The control's texts in @p language, and Qt's own (the message boxes' buttons) where the
/// system has them; nothing when the control has no translation for it.
std::vector<std::unique_ptr<QTranslator>> installLanguage(const QString& language)
{
    std::vector<std::unique_ptr<QTranslator>> installed;
    const QLocale locale(language);
    const std::pair<QString, QString> catalogues[] = {
        {QStringLiteral("palletry"), QStringLiteral(":/palletry/i18n")},
        {QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)},
    };
    for (const auto& [name, folder] : catalogues) {
        auto translator = std::make_unique<QTranslator>();
        if (!translator->load(locale, name, QStringLiteral("_"), folder))
            break;
        QCoreApplication::installTranslator(translator.get());
        installed.push_back(std::move(translator));
    }
    return installed;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("palletry-demo"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Demo host for the Palletry load-assembly control."));
    parser.addHelpOption();
    const QCommandLineOption serverOption(QStringLiteral("server"),
                                          QStringLiteral("Scheme and server of the load service (or its full address)."),
                                          QStringLiteral("URL"));
    const QCommandLineOption loadOption(QStringLiteral("load"), QStringLiteral("Load id to open."), QStringLiteral("N"));
    const QCommandLineOption personOption(QStringLiteral("person"), QStringLiteral("Person id of the clerk."),
                                          QStringLiteral("ID"), QStringLiteral("7"));
    const QCommandLineOption personTypeOption(QStringLiteral("person-type"), QStringLiteral("Person type of the clerk."),
                                              QStringLiteral("T"), QStringLiteral("1"));
    const QCommandLineOption shotsOption(QStringLiteral("screenshots"),
                                         QStringLiteral("Render the tabs to PNG files in DIR and exit."),
                                         QStringLiteral("DIR"));
    const QCommandLineOption scannerOption(QStringLiteral("scanner"),
                                           QStringLiteral("Scanner-friendly entry: Enter goes on to the next step."));
    const QCommandLineOption langOption(QStringLiteral("lang"), QStringLiteral("Language of the control (en, es)."),
                                        QStringLiteral("LANG"), QStringLiteral("en"));
    parser.addOptions({serverOption, loadOption, personOption, personTypeOption, shotsOption, scannerOption, langOption});
    parser.process(app);

    // Installed before the control is created, so that it starts in that language.
    std::vector<std::unique_ptr<QTranslator>> language;
    if (parser.value(langOption) != QLatin1String("en")) {
        language = installLanguage(parser.value(langOption));
        if (language.empty()) {
            QTextStream(stderr) << "no translation for language " << parser.value(langOption) << "\n";
            return 1;
        }
    }

    QTextStream out(stdout);
    std::unique_ptr<palletry_service::ReferenceService> service;
    // The service's full address works too: LoadData adds the service path itself.
    QString server = parser.value(serverOption).section(QStringLiteral("/WebServices/"), 0, 0);
    qint32 load = parser.value(loadOption).toInt();
    if (server.isEmpty()) {
        service = std::make_unique<palletry_service::ReferenceService>();
        if (!service->start(0)) {
            QTextStream(stderr) << "could not start the reference service\n";
            return 1;
        }
        server = QString::fromStdString(service->serverName());
        if (!parser.isSet(loadOption))
            load = service->demoLoadId();
        out << "reference service at " << QString::fromStdString(service->url()) << Qt::endl;
    }

    DemoWindow window;
    window.control()->setScannerEntry(parser.isSet(scannerOption));
    window.control()->SetPersonInformation(parser.value(personOption), parser.value(personTypeOption));
    window.control()->LoadData(server, load);
    window.control()->ShrinkForm();
    window.resize(window.sizeHint()); // adjustSize() would cap it at 2/3 of a small screen
    window.show();

    const bool headless = QGuiApplication::platformName() == QLatin1String("offscreen");
    if (headless || parser.isSet(shotsOption)) {
        QTemporaryDir temp(QDir::temp().filePath(QStringLiteral("palletry-demo-XXXXXX")));
        temp.setAutoRemove(false);
        const QString dir = parser.isSet(shotsOption) ? parser.value(shotsOption) : temp.path();
        QStringList files = window.renderTabs(dir);
        const int expected = files.size() + 6;
        // The vendor details at work: a vendor's orders, one opened with its line items.
        const QString vendorDetails = QDir(dir).filePath(QStringLiteral("vendor-details.png"));
        if (window.showVendorDetails() && window.render(vendorDetails))
            files << vendorDetails;
        // A PO typed by number, its line items in the manual-PO panel.
        const QString manualPO = QDir(dir).filePath(QStringLiteral("manual-po.png"));
        if (window.showManualPO() && window.render(manualPO))
            files << manualPO;

        // The load in a spreadsheet and on paper, the manifest's first page as a picture of it.
        const QString csv = QDir(dir).filePath(QStringLiteral("manifest.csv"));
        if (window.control()->exportLoadCsv(csv))
            files << csv;
        const QString pdf = QDir(dir).filePath(QStringLiteral("manifest.pdf"));
        if (window.control()->saveLoadManifestPdf(pdf))
            files << pdf;
        const QString page = QDir(dir).filePath(QStringLiteral("manifest.png"));
        if (window.control()->loadManifestPage(1, 110).save(page))
            files << page;

        // Tab 1 at work once more, as a Spanish-reading clerk sees it.
        language.clear();
        language = installLanguage(QStringLiteral("es"));
        DemoWindow spanish;
        spanish.control()->SetPersonInformation(parser.value(personOption), parser.value(personTypeOption));
        spanish.control()->LoadData(server, load);
        spanish.resize(spanish.sizeHint());
        spanish.show();
        const QString spanishFile = QDir(dir).filePath(QStringLiteral("tab1-es.png"));
        if (!language.empty() && spanish.showVendorDetails() && spanish.render(spanishFile))
            files << spanishFile;

        out << "screenshots in " << QDir(dir).absolutePath() << Qt::endl;
        for (const QString& file : files)
            out << "  " << file << Qt::endl;
        return files.size() == expected && expected == 9 ? 0 : 1;
    }
    return app.exec();
}
