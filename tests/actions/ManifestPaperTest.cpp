// The manifest's paper, and what tells a page of it apart from another load's.

#include "actions/LoadManifest.h"

#include <palletry/Palletry.h>

#include <gtest/gtest.h>

using namespace palletry;

TEST(ManifestPaper, TheControlsLocaleChoosesLetterOrA4UntilTheHostChoosesAndEveryPageNamesTheLoad)
{
    for (const char* name : {"en_US", "fr_CA", "es_MX", "es_CO", "de_DE", "en_GB", "es_ES", "fr_FR"})
        EXPECT_EQ(LoadManifest::localePageSize(QLocale(QLatin1String(name))).id(),
                  name[3] == 'U' || name[3] == 'C' || name[3] == 'M' ? QPageSize::Letter : QPageSize::A4) << name;
    Palletry control;
    auto pagePoints = [&] { return control.loadManifestPage(1, 72).size(); };
    control.setLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(pagePoints(), QSize(595, 842));
    control.setManifestPageSize(QPageSize(QPageSize::Letter));
    control.setLocale(QLocale(QLocale::English, QLocale::UnitedKingdom));
    EXPECT_EQ(pagePoints(), QSize(612, 792));
    EXPECT_TRUE(control.setProperty("manifestPageSize", QVariant::fromValue(QPageSize()))); // back to the locale's
    EXPECT_EQ(pagePoints(), QSize(595, 842));

    LoadManifest::Content content{QStringLiteral("1001"), QStringLiteral("TRK-7"), QStringLiteral("12/02/2026"),
                                  QStringLiteral("Acme Freight"), {}, {}, {}};
    for (int i = 0; i < 40; ++i)
        content.orders.push_back({QString::number(i), QString::number(i % 3), {}, {}, {}, {}, {}, {}, {}, "1"});
    const std::vector<ManifestPage> pages = LoadManifest::layOut(content, 20);
    const QString text = LoadManifest::text(content, pages);
    ASSERT_GT(pages.size(), 2u);
    EXPECT_EQ(text.count(QStringLiteral("Truck: TRK-7  ·  Date: 12/02/2026  ·  Carrier: Acme Freight\tLoad 1001\tPage ")),
              qsizetype(pages.size()));
    EXPECT_TRUE(text.contains(QStringLiteral("\nDate\t12/02/2026\tCarrier\tAcme Freight\n")));
}

TEST(ManifestPaper, VendorsWithoutANameGoByNumberThenByTextAndOneNumberIsOneVendor)
{
    // Numbers and other ids compared pair by pair, each by its own rule, would be no order at all
    // ("10" < "5A" < "9" < "10"), and sorting by it could lose or repeat a vendor.
    LoadManifest::Content content{QStringLiteral("1001"), {}, {}, {}, {}, {}, {}};
    QStringList expected;
    for (int i = 30; i >= 1; --i)
        content.orders.push_back({QString::number(i), QString::number(i), {}, {}, {}, {}, {}, {}, {}, "1"});
    for (const char* vendor : {"5A", "042", "V-12", "25B", "1C"})
        content.orders.push_back({QLatin1String(vendor), QLatin1String(vendor), {}, {}, {}, {}, {}, {}, {}, "1"});
    for (int i = 1; i <= 30; ++i)
        expected << QStringLiteral("Vendor %1").arg(i);
    expected << "Vendor 042" << "Vendor 1C" << "Vendor 25B" << "Vendor 5A" << "Vendor V-12";
    const QString text = LoadManifest::text(content, LoadManifest::layOut(content, 200));
    QStringList headings;
    for (const QString& line : text.split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("Vendor ")))
            headings << line;
    EXPECT_EQ(headings.join(QLatin1Char(',')).toStdString(), expected.join(QLatin1Char(',')).toStdString());
}
