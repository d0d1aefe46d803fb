#include "support/ServiceRig.h"

using namespace palletry;

TEST(ErrorReportTest, ShowsOneInformationBoxAndLogsEvenAnEmptySourceExactly)
{
    test::ServiceRig rig;
    rig.report.reportError(ErrorRecord{-2147012889, QStringLiteral("ReturnWebservice Method could not load XML data"),
                                       QString()},
                           QStringLiteral("ReturnWebserviceXML"));
    ASSERT_EQ(rig.recorder.boxes().size(), 1);
    const MessageBoxRequest& shown = rig.recorder.boxes()[0].request;
    EXPECT_EQ(shown.prompt, QStringLiteral("An application error has occured. Please check the error logs"));
    EXPECT_EQ(shown.title, QStringLiteral("prjPalletry"));
    EXPECT_EQ(shown.icon, QMessageBox::Information);
    EXPECT_EQ(shown.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    const auto entries = test::readEventLogFile(rig.log.file());
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0].type, EventType::Information);
    EXPECT_EQ(entries[0].text, QStringLiteral("\r\n\r\nError Number - -2147012889\r\n"
                                              "Error Description - ReturnWebservice Method could not load XML data\r\n"
                                              "Error Source -  ReturnWebserviceXML\r\nProject Associated - Palletry"));
}

TEST(EventLogTest, EnvironmentVariableChoosesTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("env.log"));
    qputenv("PALLETRY_EVENT_LOG", path.toUtf8());
    EventLog log;
    qunsetenv("PALLETRY_EVENT_LOG");
    EXPECT_EQ(log.file(), path);
    log.write(QStringLiteral("hello"), EventType::Warning);
    ASSERT_EQ(test::readEventLogFile(path).size(), 1);
    EXPECT_EQ(test::readEventLogFile(path)[0].type, EventType::Warning);
}
