#include "transport/ErrorReport.h"
#include "transport/EventLog.h"
#include "transport/MessageBoxes.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace palletry;

namespace {

struct ReportFixture : ::testing::Test
{
    QTemporaryDir dir;
    QString logPath = dir.filePath(QStringLiteral("events.log"));
    MessageBoxes boxes{nullptr};
    EventLog log;
    ErrorReport report{boxes, log};
    QVector<MessageBoxRequest> shown;

    ReportFixture()
    {
        log.setFile(logPath);
        boxes.setInterceptor([this](const MessageBoxRequest& r) {
            shown.push_back(r);
            return QMessageBox::Ok;
        });
    }
};

} // namespace

TEST_F(ReportFixture, ShowsOneInformationBoxAndLogsEvenAnEmptySourceExactly)
{
    report.reportError(ErrorRecord{-2147012889, QStringLiteral("ReturnWebservice Method could not load XML data"),
                                   QString()},
                       QStringLiteral("ReturnWebserviceXML"));

    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].prompt, QStringLiteral("An application error has occured. Please check the error logs"));
    EXPECT_EQ(shown[0].title, QStringLiteral("prjPalletry"));
    EXPECT_EQ(shown[0].icon, QMessageBox::Information);
    EXPECT_EQ(shown[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    const auto entries = EventLog::readFile(logPath);
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
    ASSERT_EQ(EventLog::readFile(path).size(), 1);
    EXPECT_EQ(EventLog::readFile(path)[0].type, EventType::Warning);
}
