// palletry-host: the smallest application that embeds the Palletry control.
//
//   palletry-host --server http://127.0.0.1:8080 --load 1001
//
// On Qt's offscreen platform (QT_QPA_PLATFORM=offscreen) it opens the load and
// exits: 0 when the control showed no failure, 1 when it did.

#include <palletry/Palletry.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QMainWindow>
#include <QMessageBox>
#include <QTextStream>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption server(QStringLiteral("server"), QStringLiteral("Scheme and server of the load service."),
                                    QStringLiteral("URL"));
    const QCommandLineOption load(QStringLiteral("load"), QStringLiteral("Load id to open."), QStringLiteral("N"));
    parser.addOptions({server, load});
    parser.process(app);
    if (!parser.isSet(server) || !parser.isSet(load))
        parser.showHelp(2);

    QMainWindow window;
    auto* control = new Palletry(&window);
    window.setCentralWidget(control);
    window.show();

    // Without a display nobody can press OK: a failure box is printed and closed instead.
    const bool headless = QGuiApplication::platformName() == QLatin1String("offscreen");
    bool failed = false;
    QTimer closer;
    if (headless) {
        QObject::connect(&closer, &QTimer::timeout, [&failed] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                QTextStream(stderr) << box->windowTitle() << ": " << box->text() << Qt::endl;
                failed = true;
                box->reject();
            }
        });
        closer.start(20);
    }

    // The three calls a host makes; each blocks until the service has answered.
    control->SetPersonInformation(QStringLiteral("7"), QStringLiteral("1"));
    // Either the server ("http://host:port") or the service's full address.
    control->LoadData(parser.value(server).section(QStringLiteral("/WebServices/"), 0, 0), parser.value(load).toInt());
    control->ShrinkForm();

    if (headless)
        return failed ? 1 : 0;
    return app.exec();
}
