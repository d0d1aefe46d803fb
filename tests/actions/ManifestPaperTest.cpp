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
