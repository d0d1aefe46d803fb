// The load off the screen: copied into a spreadsheet, exported as CSV, printed as a manifest.

#include "ClerkFixture.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

using namespace palletry;
using namespace palletry::test;

namespace {

/// RFC 4180 read strictly: quotes only around a whole field, doubled inside, every record ended by CRLF.
std::vector<QStringList> strictCsv(const QByteArray& bytes)
{
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF")) << "no byte-order mark";
    const QString t = QString::fromUtf8(bytes.mid(3));
    std::vector<QStringList> rows(1);
    for (qsizetype i = 0; i < t.size();) {
        QString field;
        if (t[i] == u'"') {
            for (++i; i < t.size() && (t[i] != u'"' || t.mid(i, 2) == QLatin1String("\"\"")); ++i)
                field += t[t[i] == u'"' ? i++ : i];
            EXPECT_LT(i++, t.size()) << "a quote is not closed";
        } else {
            for (; i < t.size() && t[i] != u',' && t[i] != u'\r' && t[i] != u'\n'; ++i) {
                EXPECT_NE(t[i], u'"') << "a quote inside an unquoted field at " << i;
                field += t[i];
            }
        }
        rows.back() << field;
        if (i < t.size() && t[i] == u',' && ++i)
            continue;
        EXPECT_EQ(t.mid(i, 2), QStringLiteral("\r\n")) << "a record not ended by CRLF at " << i;
        i += 2;
        rows.emplace_back();
    }
    rows.pop_back();
    return rows;
}

int pdfPages(const QString& path)
{
    QFile file(path);
    const QByteArray pdf = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    EXPECT_TRUE(pdf.startsWith("%PDF-") && pdf.trimmed().endsWith("%%EOF")) << "not a whole PDF: " << path.toStdString();
    return int(QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

/// Writes past @p bytes of any one file fail (the disk is full, as far as the control can tell).
struct WriteLimit
{
    rlimit before{};
    explicit WriteLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &before);
        const rlimit limit{bytes, before.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~WriteLimit() { setrlimit(RLIMIT_FSIZE, &before); }
};

const QString Mueller = QStringLiteral("Müller, \"Nord\"\r\nDock");

/// Three orders on the load whose values a spreadsheet would misread; load 1236 of one order, 1235 of 300.
struct LoadOnPaper : ClerkFixture
{
    Texts moreSeed() const override
    {
        return {
            "INSERT INTO Vendors(VendorID, Name) VALUES (70, 'Tést, \"Quoted\" Vendor'), (80, NULL)",
            "INSERT INTO Centers VALUES (11, '=HYPERLINK(\"x\")'), (13, 'Müller, \"Nord\"' || char(13, 10) || 'Dock')",
            "INSERT INTO Orders VALUES ('=cmd|'' /C calc''!A0', 70, 11, 80, 'A', '1', 1), ('@SUM(1)', 80, 13, 81, 'B', '2', 1),"
            " ('5003', 42, 13, 82, 'C', '3', 1)",
            "UPDATE Orders SET CenterID = 11 WHERE OrderID = '00000005002'",
            // A line feed alone and a carriage return alone each make a value quoted.
            "INSERT INTO OrderSegments VALUES ('5001', 3, 1234, 24, '123' || char(13) || '45', 'A,B', '15', '2'),"
            " ('=cmd|'' /C calc''!A0', 1, 1234, 3, '-0700', char(9) || 'tab', '15', '2'),"
            " ('@SUM(1)', 1, 1234, 5, '+1', 'x' || char(10) || 'y', '15', '2')",
            "INSERT INTO Loads VALUES (1235, 'TRK-300', '2026-12-02 00:00:00', 'Test'), (1236, 'TRK-1', NULL, NULL)",
            "INSERT INTO OrderSegments VALUES ('0000ABC1234', 1, 1236, 5, '33333', 'C', '15', '2')",
            "INSERT INTO Vendors(VendorID, Name) VALUES (130, 'V0'), (131, 'V1'), (132, 'V2'), (133, 'V3'), (134, 'V4'),"
            " (135, 'V5'), (136, 'V6')",
            // 300 orders of vendors 130 to 136 (42 of vendor 130, 43 of each other), 1 to 10 cartons: 1650 in all.
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300)"
            " INSERT INTO Orders SELECT printf('P%03d', i), 130 + i % 7, 1, i, 'A', '1', 1 FROM n",
            "INSERT INTO OrderSegments SELECT OrderID, 1, 1235, MemberID % 10 + 1, '1', 'A', '15', '2' FROM Orders"
            " WHERE OrderID LIKE 'P%'",
            // Loads 1237, 1239 and 1238: 400, 16 and one order at a center of a 1,000-character name
            // (CSVs of about 400 KiB, 16.5 KiB and 1.2 KiB).
            "INSERT INTO Centers VALUES (14, replace(hex(zeroblob(500)), '0', 'x'))",
            "INSERT INTO Vendors(VendorID, Name) VALUES (140, 'W')",
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 400)"
            " INSERT INTO Orders SELECT printf('Q%03d', i), 140, 14, i, 'A', '1', 1 FROM n",
            "INSERT INTO Loads VALUES (1237, 'TRK-400', NULL, NULL), (1238, 'TRK-2', NULL, NULL), (1239, 'TRK-3', NULL, NULL)",
            "INSERT INTO OrderSegments SELECT OrderID, 1, 1237, 1, '1', 'A', '15', '2' FROM Orders WHERE OrderID LIKE 'Q%'",
            "INSERT INTO OrderSegments VALUES ('Q001', 2, 1238, 1, '1', 'A', '15', '2')",
            "INSERT INTO OrderSegments SELECT OrderID, 3, 1239, 1, '1', 'A', '15', '2' FROM Orders WHERE OrderID < 'Q017'"
            " AND OrderID LIKE 'Q%'",
        };
    }
    static QString copied(QWidget* view)
    {
        QGuiApplication::clipboard()->clear();
        view->setFocus();
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        return QGuiApplication::clipboard()->text();
    }
};

} // namespace

TEST_F(LoadOnPaper, CopyPutsTheHighlightedRowsOrAllUnderTheVisibleHeadingsInTheOrderShown)
{
    ListView& all = *s.lstAllSelectedPOs;
    click(s.cmdViewAll);
    QStringList menu;
    for (QAction* action : all.actions())
        menu << action->text();
    EXPECT_EQ(menu, (QStringList{"&Copy", "", "Export load…", "Print manifest…"}));
    // Nothing highlighted, sorted by "# Cartons" (as text): every row, the hidden columns left out,
    // the line breaks of a cell as spaces, formula starts kept as text.
    clickHeader(all, LoadColumn::Cartons);
    const QString heading = QStringLiteral("OrderID\tMemberID\tVendorID\t# Cartons\tCenter Name\n");
    const QString formula = QStringLiteral("'=cmd|' /C calc'!A0\t80\t70\t3\t'=HYPERLINK(\"x\")\n");
    EXPECT_EQ(copied(&all), heading + QStringLiteral("5001\t77\t42\t24\tEast Gate <Dock 4>\n") + formula
                                + QStringLiteral("'@SUM(1)\t81\t80\t5\tMüller, \"Nord\"  Dock\n"));
    clickRow(all, 2);
    EXPECT_EQ(copied(&all), heading + formula);
    // Two of three open orders highlighted, the list sorted by OrderID descending; through the menu's "Copy".
    click(s.cmdDone);
    openVendor(QStringLiteral("42"));
    ListView& open = *s.lstProspectivePOs;
    clickHeader(open, 0);
    ASSERT_EQ(ControlRig::column(open, 0), (QStringList{"5003", "0000ABC1234", "00000005002"}));
    clickRow(open, 1);
    clickRow(open, 3, Qt::ControlModifier);
    QGuiApplication::clipboard()->clear();
    open.findChild<QAction*>(QStringLiteral("actionCopy"))->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("OrderID\tCenter\n5003\tMüller, \"Nord\"  Dock (13)\n"
                                                                   "00000005002\t'=HYPERLINK(\"x\") (11)\n"));
    // A grid copies all its lines with its headings.
    click(s.cmdSelect);
    openOrder(QStringLiteral("00000005002"));
    EXPECT_EQ(copied(s.grdOrdItems),
              QStringLiteral("Row\tLine Item\tModel\tItem Description\n1\t1\tMD-21\tChair\n2\t2\tMD-22\tDesk\n"));
    EXPECT_EQ(rig.recorder.errorReportCount(), 0);
}

TEST_F(LoadOnPaper, TheCsvReadsBackStrictlyAndAFailedWriteLeavesTheFileWholeOrAbsent)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("load.csv"));
    // As the clerk does it: "Export load…" opens its dialog without holding the host's events.
    control.findChild<QAction*>(QStringLiteral("actionExportLoad"))->trigger();
    auto* dialog = control.findChild<QFileDialog*>();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(dialog->isVisible());
    dialog->selectFile(path);
    static_cast<QDialog*>(dialog)->accept(); // the clerk presses Save
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    file.close();
    const std::vector<QStringList> expected = {
        {"PO", "Vendor ID", "Vendor Name", "Member ID", "Center ID", "Center Name", "Freight Group", "Postal Code",
         "Segment", "Cartons"},
        {"5001", "42", "Example Vendor", "77", "3", "East Gate <Dock 4>", "A,B", "123\r45", "3", "24"},
        {"'=cmd|' /C calc'!A0", "70", "Tést, \"Quoted\" Vendor", "80", "11", "'=HYPERLINK(\"x\")", "'\ttab", "'-0700", "1", "3"},
        {"'@SUM(1)", "80", "", "81", "13", Mueller, "x\ny", "'+1", "1", "5"},
    };
    EXPECT_EQ(strictCsv(written), expected);
    EXPECT_EQ(control.ordersOnLoadCount(), 3);
    EXPECT_EQ(control.cartonsOnLoadCount(), 32);

    // A path that is a folder: reported, the folder as it was.
    QSignalSpy reports(&control, &Palletry::errorReported);
    const QString folder = dir.filePath(QStringLiteral("folder.csv"));
    ASSERT_TRUE(QDir().mkdir(folder));
    EXPECT_FALSE(control.exportLoadCsv(folder));
    EXPECT_TRUE(QDir(folder).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    // A write cut short (a full disk, a file size limit) at any size, over the file before and to a
    // new one: false, one report each, the earlier file as it was, nothing else left.
    for (const qint32 load : {1234, 1238, 1239, 1237}) {
        control.LoadData(QString::fromStdString(service.serverName()), load);
        ASSERT_TRUE(control.exportLoadCsv(path)) << load;
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray whole = file.readAll();
        file.close();
        for (const QString& target : {path, dir.filePath(QStringLiteral("new.csv"))}) {
            WriteLimit full(load == 1234 ? 64 : rlim_t(whole.size() - 100));
            EXPECT_FALSE(control.exportLoadCsv(target)) << load << " of " << whole.size() << " bytes";
        }
        settle(); // reports reach the host from the event loop
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                  (QStringList{"folder.csv", "load.csv"}));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), whole) << load;
        file.close();
        EXPECT_EQ(whole.size() > 1000, load != 1234);
        EXPECT_EQ(whole.size() > 16384, load == 1237 || load == 1239); // more than Qt's write buffer
        EXPECT_EQ(whole.size() > 400000, load == 1237);
    }
    ASSERT_EQ(reports.size(), 9);
    for (const QList<QVariant>& report : reports) {
        EXPECT_EQ(report.at(0).toInt(), 75);
        EXPECT_EQ(report.at(2).toString(), QStringLiteral("prjPalletry exportLoadCsv"));
    }
    EXPECT_TRUE(reports.at(2).at(1).toString().contains(QStringLiteral("new.csv")));
}

TEST_F(LoadOnPaper, TheManifestHoldsEveryOrderAndTheTotalsOnItsPages)
{
    QTemporaryDir dir;
    const double paper = LoadManifest::paperLayout().paintRect(QPageLayout::Point).height();
    // One order (load 1236), then 300 orders of seven vendors: each vendor after the first on a page
    // of its own, the totals on the eighth.
    const struct
    {
        qint32 load;
        int orders, vendors, cartons, pages;
    } cases[] = {{1236, 1, 1, 5, 1}, {1235, 300, 7, 1650, 8}};
    for (const auto& c : cases) {
        control.LoadData(QString::fromStdString(service.serverName()), c.load);
        const QString pdf = dir.filePath(QStringLiteral("manifest-%1.pdf").arg(c.load));
        ASSERT_TRUE(control.saveLoadManifestPdf(pdf));
        EXPECT_EQ(pdfPages(pdf), c.pages) << c.load;
        const LoadManifest::Content content = d.manifest.content();
        const std::vector<ManifestPage> pages = LoadManifest::layOut(content, LoadManifest::linesPerPage(paper));
        ASSERT_EQ(int(pages.size()), c.pages);
        const QString text = LoadManifest::text(content, pages);
        for (int pos = 1; pos <= s.lstAllSelectedPOs->count(); ++pos)
            EXPECT_EQ(text.count(QLatin1Char('\n') + s.lstAllSelectedPOs->text(pos) + QLatin1Char('\t')), 1);
        for (int page = 1; page <= c.pages; ++page)
            EXPECT_TRUE(text.contains(QStringLiteral("\tLoad %1\tPage %2 of %3\n").arg(c.load).arg(page).arg(c.pages)));
        EXPECT_TRUE(text.contains(QStringLiteral("\nOrders\t%1\nVendors\t%2\nCartons\t%3\n")
                                      .arg(c.orders)
                                      .arg(c.vendors)
                                      .arg(c.cartons)));
        EXPECT_TRUE(text.contains(QStringLiteral("Load worked by: 15 (person type 2)")));
        EXPECT_EQ(control.ordersOnLoadCount(), c.orders);
        EXPECT_EQ(control.cartonsOnLoadCount(), c.cartons);
        EXPECT_FALSE(control.loadManifestPage(c.pages).isNull());
        EXPECT_TRUE(control.loadManifestPage(c.pages + 1).isNull());
    }
    // A vendor name that would reverse or overprint its line is one line, its controls shown.
    int v130 = 1;
    while (v130 < s.lstVendors->count() && s.lstVendors->text(v130) != QLatin1String("130"))
        ++v130;
    s.lstVendors->setSubItem(v130, 1, QStringLiteral("evil\u202Elive\u2066\u200F\nDock"));
    const QString text = LoadManifest::text(d.manifest.content(), LoadManifest::layOut(d.manifest.content(), 40));
    EXPECT_TRUE(text.contains(QStringLiteral(": evil\\u202elive\\u2066\\u200f Dock\n"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QChar(0x202E)) || text.contains(QStringLiteral("\nDock")));
    // A preview of 1 to 600 dots per inch; beyond, refused with a report (error 5) and no image.
    EXPECT_FALSE(control.loadManifestPage(1, 600).isNull());
    EXPECT_FALSE(control.loadManifestPage(1, 1).isNull());
    EXPECT_TRUE(control.loadManifestPage(1, 601).isNull());
    EXPECT_TRUE(control.loadManifestPage(1, 0).isNull());
    EXPECT_EQ(rig.recorder.errorReportCount(), 2);
    EXPECT_TRUE(rig.recorder.logTexts().value(0).contains(QStringLiteral("1 to 600 dots per inch, not 601")));
    rig.recorder.clear();
    // A carton count that is no number: no total, no manifest, one report naming the order.
    s.lstAllSelectedPOs->setSubItem(1, LoadColumn::Cartons, QStringLiteral("many"));
    EXPECT_EQ(control.cartonsOnLoadCount(), -1);
    EXPECT_FALSE(control.saveLoadManifestPdf(dir.filePath(QStringLiteral("bad.pdf"))));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("bad.pdf"))));
    EXPECT_EQ(rig.recorder.errorReportCount(), 1);
    EXPECT_TRUE(rig.recorder.logTexts().back().contains(QStringLiteral("Order P001 has no carton count")));
}

TEST(ManifestPages, VendorsBreakBetweenPagesWhereTheyCanAndTheTotalsStayTogether)
{
    // Each line as a letter: Field, Columns, Vendor, Order, Subtotal, Gap, Heading, Total, Note, siGnature.
    auto kinds = [](const std::vector<ManifestPage>& pages) {
        std::vector<std::string> out;
        for (const ManifestPage& page : pages) {
            out.emplace_back();
            for (const ManifestLine& line : page)
                out.back() += "FCVOS_HTNG"[line.kind];
        }
        return out;
    };
    auto content = [](std::vector<int> vendorSizes) {
        LoadManifest::Content c;
        for (std::size_t v = 0; v < vendorSizes.size(); ++v)
            for (int i = 0; i < vendorSizes[v]; ++i)
                c.orders.push_back({QStringLiteral("%1-%2").arg(v).arg(i), QString::number(v + 1), {}, {}, {}, {}, {}, {},
                                    QStringLiteral("1"), QStringLiteral("2")});
        return c;
    };
    const std::string totals = "_HTTT_NN__G__G";
    const std::string o15(15, 'O');
    const struct
    {
        std::vector<int> vendors;
        std::vector<std::string> pages;
    } cases[] = {
        {{}, {"FF_N" + totals}},
        {{3, 3}, {"FF_CVOOOS_VOOOS", totals}},
        // The second vendor would not fit below the first but fits a page of its own.
        {{3, 10}, {"FF_CVOOOS_", "CVOOOOOOOOOOS", totals}},
        // Longer than a page: continued, the last order with its subtotal.
        {{30}, {"FF_CV" + o15, "CV" + o15 + "S", totals}},
        {{15}, {"FF_CV" + std::string(14, 'O'), "CVOS" + totals}},
    };
    for (const auto& c : cases) {
        const std::vector<ManifestPage> pages = LoadManifest::layOut(content(c.vendors), 20);
        EXPECT_EQ(kinds(pages), c.pages) << c.vendors.size();
        if (pages.size() > 1 && c.vendors.size() == 1) {
            EXPECT_EQ(pages[1][1].cells, QStringList{"Vendor 1 (continued)"});
        }
    }
    EXPECT_THROW(LoadManifest::layOut(content({1}), 15), RuntimeError);
}
