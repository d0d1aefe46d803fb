// Where LoadData's server text leads: the server, or the service's full address as palletry-service prints it.

#include "transport/ServiceAddress.h"

#include <gtest/gtest.h>

using namespace palletry;

TEST(ServiceUrlFor, TheServerGetsThePathOnceAndAFullAddressStaysAsGiven)
{
    const QLatin1String path("/WebServices/KLTVWebservice/KLTVWebservice.asmx");
    const QString full = QStringLiteral("http://127.0.0.1:8080/WebServices/KLTVWebservice/KLTVWebservice.asmx");
    const struct
    {
        const char* given;
        QString expected;
    } cases[] = {
        {"http://127.0.0.1:8080", full},
        {"http://127.0.0.1:8080/", full},
        {"http://127.0.0.1:8080/WebServices/KLTVWebservice/KLTVWebservice.asmx", full},
        {"http://127.0.0.1:8080/WebServices/KLTVWebservice/KLTVWebservice.asmx/", full},
        {"http://127.0.0.1:8080/webservices/kltvwebservice/kltvwebservice.asmx",
         QStringLiteral("http://127.0.0.1:8080/webservices/kltvwebservice/kltvwebservice.asmx")},
        // A server under a folder of its own keeps it.
        {"https://loads.example/east/", QStringLiteral("https://loads.example/east") + path},
        // Only the whole path counts: its last part alone is a server's folder.
        {"http://loads.example/KLTVWebservice.asmx",
         QStringLiteral("http://loads.example/KLTVWebservice.asmx") + path},
    };
    for (const auto& c : cases)
        EXPECT_EQ(serviceUrlFor(QString::fromLatin1(c.given), path), c.expected) << c.given;
}
