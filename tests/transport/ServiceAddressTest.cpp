// Where LoadData's server text leads: the server, or the service's full address as palletry-service prints it.

#include "transport/ServiceAddress.h"

#include <gtest/gtest.h>

TEST(ServiceUrlFor, TheServerGetsThePathOnceAndAFullAddressStaysAsGiven)
{
    const QLatin1String path("/WebServices/KLTVWebservice/KLTVWebservice.asmx");
    const QString full = QStringLiteral("http://127.0.0.1:80/WebServices/KLTVWebservice/KLTVWebservice.asmx");
    for (const QString& given : {QStringLiteral("http://127.0.0.1:80"), QStringLiteral("http://127.0.0.1:80/"), full,
                                 full + QLatin1Char('/')})
        EXPECT_EQ(palletry::serviceUrlFor(given, path), full) << given.toStdString();
    // Any letter case (IIS's paths have none); a folder of the server's own or the path's last part alone stay.
    EXPECT_EQ(palletry::serviceUrlFor(full.toLower(), path), full.toLower());
    for (const char* server : {"https://loads.example/east", "http://loads.example/KLTVWebservice.asmx"})
        EXPECT_EQ(palletry::serviceUrlFor(QLatin1String(server) + QLatin1Char('/'), path), QLatin1String(server) + path);
}
