#include "actions/LoadManifest.h"

#include "actions/WholeFile.h"
#include "core/ControlState.h"
#include "core/Conversion.h"
#include "core/RuntimeError.h"
#include "core/Trap.h"
#include "transport/EventLog.h"
#include "screen/Screen.h"

#include <QBuffer>
#include <QDateTime>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTabWidget>

#include <algorithm>
#include <map>
#include <memory>

namespace palletry {
namespace {

// Every line is this high (points); the page heading takes the first HeadingLines of them.
constexpr double Pitch = 14.0;
constexpr int HeadingLines = 3;
constexpr int MaxPageDpi = 600;

// Order lines: where each column starts (share of the width) and which are numbers.
constexpr double ColumnStart[] = {0.0, 0.15, 0.42, 0.515, 0.665, 0.80, 0.905, 1.0};
constexpr bool NumberColumn[] = {false, false, true, false, false, true, true};

QFont manifestFont(double points, bool bold = false, bool italic = false)
{
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

struct VendorGroup
{
    QString id;
    QString name;
    std::vector<const LoadOrder*> orders;
    int cartons = 0;
};

/// The orders by vendor: vendors by name (those without one last, by id), each vendor's orders by PO.
std::vector<VendorGroup> groupByVendor(const std::vector<LoadOrder>& orders)
{
    std::map<QString, VendorGroup> byKey;
    for (const LoadOrder& order : orders) {
        // "042" and "42" are one vendor.
        VendorGroup& group = byKey[vendorKey(order.vendorId)];
        if (group.orders.empty()) {
            group.id = order.vendorId;
            group.name = order.vendorName;
        }
        group.orders.push_back(&order);
        group.cartons += LoadSheet::cartonsOf(order);
    }
    std::vector<VendorGroup> groups;
    for (auto& entry : byKey)
        groups.push_back(std::move(entry.second));
    auto idOrder = [](const QString& a, const QString& b) {
        // Numbers first, by value, then the other ids by text: mixing the two rules pair by pair
        // would not be an order at all ("10" < "5A" < "9" < "10"), and sort needs one.
        const bool numberA = isNumeric(a), numberB = isNumeric(b);
        if (numberA != numberB)
            return numberA;
        if (numberA && toDouble(a) != toDouble(b))
            return toDouble(a) < toDouble(b);
        return a < b;
    };
    std::sort(groups.begin(), groups.end(), [&](const VendorGroup& a, const VendorGroup& b) {
        if (a.name.isEmpty() != b.name.isEmpty())
            return b.name.isEmpty();
        if (const int byName = a.name.compare(b.name, Qt::CaseInsensitive); byName != 0)
            return byName < 0;
        return idOrder(a.id, b.id);
    });
    for (VendorGroup& group : groups)
        std::stable_sort(group.orders.begin(), group.orders.end(), [](const LoadOrder* a, const LoadOrder* b) {
            return a->orderId.compare(b->orderId, Qt::CaseInsensitive) < 0;
        });
    return groups;
}

/// Paints one page in device pixels, @p scale of them to a point, over a width of @p width points.
void paintPage(QPainter& painter, double scale, double width, const QStringList& heading, const ManifestPage& lines)
{
    auto box = [&](double x, double line, double w, double lines = 1) {
        return QRectF(x * scale, line * Pitch * scale, w * scale, lines * Pitch * scale);
    };
    auto put = [&](const QRectF& rect, const QString& text, const QFont& font, Qt::Alignment align = Qt::AlignLeft) {
        painter.setFont(font);
        const QString line = painter.fontMetrics().elidedText(LoadManifest::shown(text), Qt::ElideRight,
                                                              int(rect.width()));
        painter.drawText(rect, int(align | Qt::AlignVCenter | Qt::TextSingleLine), line);
    };
    auto rule = [&](double x1, double x2, double y, double points) {
        painter.setPen(QPen(Qt::black, points * scale));
        painter.drawLine(QPointF(x1 * scale, y * scale), QPointF(x2 * scale, y * scale));
    };
    const double pad = 3;

    painter.setPen(Qt::black);
    put(box(0, 0, width * 0.36, 2), heading.value(0), manifestFont(16, true));
    put(box(width * 0.4, 0, width * 0.44), heading.value(2), manifestFont(10, true), Qt::AlignRight);
    put(box(width * 0.84, 0, width * 0.16), heading.value(3), manifestFont(9), Qt::AlignRight);
    put(box(width * 0.37, 1, width * 0.63), heading.value(1), manifestFont(9), Qt::AlignRight);
    rule(0, width, 2.4 * Pitch, 1);

    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ManifestLine& line = lines[i];
        const double at = HeadingLines + double(i);
        const QStringList& c = line.cells;
        painter.setPen(Qt::black);
        switch (line.kind) {
        case ManifestLine::Field:
            put(box(0, at, width * 0.14), c.value(0), manifestFont(9, true));
            put(box(width * 0.14, at, width * 0.35), c.value(1), manifestFont(9));
            put(box(width * 0.5, at, width * 0.14), c.value(2), manifestFont(9, true));
            put(box(width * 0.64, at, width * 0.36), c.value(3), manifestFont(9));
            break;
        case ManifestLine::Columns:
        case ManifestLine::Order:
            for (int col = 0; col < c.size() && col < 7; ++col) {
                const double left = width * ColumnStart[col] + pad;
                const double w = width * (ColumnStart[col + 1] - ColumnStart[col]) - 2 * pad;
                put(box(left, at, w), c[col], manifestFont(9, line.kind == ManifestLine::Columns),
                    NumberColumn[col] ? Qt::AlignRight : Qt::AlignLeft);
            }
            if (line.kind == ManifestLine::Columns)
                rule(0, width, (at + 1) * Pitch - 1, 0.5);
            break;
        case ManifestLine::Vendor:
            painter.fillRect(box(0, at + 0.1, width, 0.85), QColor(228, 228, 228));
            put(box(pad, at, width - 2 * pad), c.value(0), manifestFont(9.5, true));
            break;
        case ManifestLine::Subtotal:
            rule(width * ColumnStart[6], width, at * Pitch + 1, 0.5);
            put(box(width * ColumnStart[1] + pad, at, width * (ColumnStart[6] - ColumnStart[1]) - 2 * pad), c.value(0),
                manifestFont(9, false, true), Qt::AlignRight);
            put(box(width * ColumnStart[6] + pad, at, width * (1 - ColumnStart[6]) - 2 * pad), c.value(1),
                manifestFont(9, true), Qt::AlignRight);
            break;
        case ManifestLine::Heading:
            put(box(0, at, width), c.value(0), manifestFont(11, true));
            rule(0, width, (at + 1) * Pitch - 1, 1);
            break;
        case ManifestLine::Total:
            put(box(0, at, width * 0.3), c.value(0), manifestFont(10));
            put(box(width * 0.3, at, width * 0.2), c.value(1), manifestFont(10, true), Qt::AlignRight);
            break;
        case ManifestLine::Note:
            put(box(0, at, width), c.value(0), manifestFont(9));
            break;
        case ManifestLine::Signature:
            put(box(0, at, width * 0.3), c.value(0), manifestFont(9));
            rule(width * 0.3, width * 0.68, (at + 1) * Pitch - 2, 0.75);
            put(box(width * 0.71, at, width * 0.08), c.value(1), manifestFont(9));
            rule(width * 0.79, width, (at + 1) * Pitch - 2, 0.75);
            break;
        case ManifestLine::Gap:
            break;
        }
    }
}

} // namespace

LoadManifest::LoadManifest(ControlState& state, Screen& screen, ErrorSink& errors, LoadSheet& sheet)
    : m_state(state)
    , m_screen(screen)
    , m_errors(errors)
    , m_sheet(sheet)
{
}

LoadManifest::Content LoadManifest::content() const
{
    Content content;
    content.loadId = m_screen.txtLoadID->text();
    content.truck = m_screen.txtTruckNumber->text();
    content.date = m_screen.txtLoadDate->text();
    content.carrier = m_screen.txtDriver->text();
    content.workedBy = m_state.PersonID.isEmpty()
        ? tr("not given")
        : tr("%1 (person type %2)").arg(m_state.PersonID, m_state.PersonTypeID);
    content.printedAt = QDateTime::currentDateTime().toString(QStringLiteral("MM/dd/yyyy HH:mm t"));
    content.orders = m_sheet.orders();
    return content;
}

QPageSize LoadManifest::localePageSize(const QLocale& locale)
{
    // The countries whose offices use US Letter (CLDR's paper sizes); their measures
    // are mostly metric, so the measurement system alone does not tell.
    static const QLocale::Territory letter[] = {
        QLocale::Belize, QLocale::Canada, QLocale::Chile, QLocale::Colombia, QLocale::CostaRica,
        QLocale::ElSalvador, QLocale::Guatemala, QLocale::Mexico, QLocale::Nicaragua, QLocale::Panama,
        QLocale::Philippines, QLocale::PuertoRico, QLocale::UnitedStates, QLocale::Venezuela};
    const bool usesLetter = locale.measurementSystem() == QLocale::ImperialUSSystem
        || std::find(std::begin(letter), std::end(letter), locale.territory()) != std::end(letter);
    return QPageSize(usesLetter ? QPageSize::Letter : QPageSize::A4);
}

QPageLayout LoadManifest::paperLayout(const QPageSize& size)
{
    return QPageLayout(size, QPageLayout::Portrait, QMarginsF(36, 36, 36, 36), QPageLayout::Point);
}

QPageSize LoadManifest::pageSize() const
{
    // The control's locale: the system's unless the host gave the control another.
    return m_pageSize.isValid() ? m_pageSize : localePageSize(m_screen.tabPalletry->locale());
}

int LoadManifest::linesPerPage(double heightPoints)
{
    return int(heightPoints / Pitch) - HeadingLines;
}

std::vector<ManifestPage> LoadManifest::layOut(const Content& content, int linesPerPage)
{
    const std::vector<VendorGroup> groups = groupByVendor(content.orders);
    int cartons = 0;
    for (const VendorGroup& group : groups)
        cartons += group.cartons;
    const std::vector<ManifestLine> closing = {
        {ManifestLine::Gap, {}},
        {ManifestLine::Heading, {tr("Totals")}},
        {ManifestLine::Total, {tr("Orders"), QString::number(content.orders.size())}},
        {ManifestLine::Total, {tr("Vendors"), QString::number(groups.size())}},
        {ManifestLine::Total, {tr("Cartons"), QString::number(cartons)}},
        {ManifestLine::Gap, {}},
        {ManifestLine::Note, {tr("Load worked by: %1").arg(content.workedBy)}},
        {ManifestLine::Note, {tr("Printed: %1").arg(content.printedAt)}},
        // Room above each line to sign on.
        {ManifestLine::Gap, {}},
        {ManifestLine::Gap, {}},
        {ManifestLine::Signature, {tr("Driver's signature"), tr("Date")}},
        {ManifestLine::Gap, {}},
        {ManifestLine::Gap, {}},
        {ManifestLine::Signature, {tr("Receiving clerk's signature"), tr("Date")}},
    };
    if (linesPerPage < int(closing.size()) + 2)
        throw RuntimeError(RuntimeErrorCode::InvalidProcedureCall,
                           QStringLiteral("A page of %1 lines cannot hold the load manifest's totals").arg(linesPerPage));
    const QStringList columns = {tr("PO"), tr("Center"), tr("Member"), tr("Freight group"), tr("Postal code"),
                                 tr("Segment"), tr("Cartons")};

    std::vector<ManifestPage> pages(1);
    bool vendorOnPage = false;
    auto room = [&] { return linesPerPage - int(pages.back().size()); };
    auto add = [&](ManifestLine::Kind kind, QStringList cells = {}) { pages.back().push_back({kind, std::move(cells)}); };
    auto newPage = [&](bool withColumns) {
        pages.emplace_back();
        vendorOnPage = false;
        if (withColumns)
            add(ManifestLine::Columns, columns);
    };

    add(ManifestLine::Field, {tr("Load ID"), content.loadId, tr("Truck"), content.truck});
    add(ManifestLine::Field, {tr("Date"), content.date, tr("Carrier"), content.carrier});
    add(ManifestLine::Gap);
    if (groups.empty())
        add(ManifestLine::Note, {tr("No orders are on this load.")});
    else
        add(ManifestLine::Columns, columns);
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const VendorGroup& group = groups[g];
        const QString heading = group.name.isEmpty() ? tr("Vendor %1").arg(group.id)
                                                     : tr("Vendor %1: %2").arg(group.id, group.name);
        const int n = int(group.orders.size());
        const int whole = n + 2; // heading, orders, subtotal
        // Break between vendors where the next one then fits on its page.
        if (whole > room() && vendorOnPage && whole <= linesPerPage - 1)
            newPage(true);
        // A heading never stands alone at the foot of a page.
        else if (room() < (n == 1 ? 3 : 2))
            newPage(true);
        add(ManifestLine::Vendor, {heading});
        vendorOnPage = true;
        for (int i = 0; i < n; ++i) {
            // The last order goes with its subtotal.
            if (room() < (i == n - 1 ? 2 : 1)) {
                newPage(true);
                add(ManifestLine::Vendor, {tr("%1 (continued)").arg(heading)});
                vendorOnPage = true;
            }
            const LoadOrder& o = *group.orders[i];
            const QString center = o.centerId.isEmpty() ? o.centerName
                                                        : QStringLiteral("%1 (%2)").arg(o.centerName, o.centerId);
            add(ManifestLine::Order, {o.orderId, center, o.memberId, o.freightGroup, o.postalCode, o.segment,
                                      QString::number(LoadSheet::cartonsOf(o))});
        }
        add(ManifestLine::Subtotal, {tr("Subtotal for vendor %1 (orders: %2)").arg(group.id).arg(n),
                                     QString::number(group.cartons)});
        if (g + 1 < groups.size() && room() > 0)
            add(ManifestLine::Gap);
    }
    if (room() < int(closing.size()))
        newPage(false);
    pages.back().insert(pages.back().end(), closing.begin(), closing.end());
    return pages;
}

QStringList LoadManifest::pageHeading(const Content& content, int page, int pages)
{
    // Every page says which load, truck, day and carrier it belongs to, should the pages part.
    return {tr("Load manifest"),
            tr("Truck: %1  ·  Date: %2  ·  Carrier: %3").arg(content.truck, content.date, content.carrier),
            tr("Load %1").arg(content.loadId), tr("Page %1 of %2").arg(page).arg(pages)};
}

QString LoadManifest::shown(const QString& value)
{
    QString line;
    line.reserve(value.size());
    for (const QChar c : value) {
        const char16_t u = c.unicode();
        const bool lineBreak = u == '\n' || u == '\r' || u == '\t' || u == '\v' || u == '\f' || u == 0x85
            || u == 0x2028 || u == 0x2029;
        line += lineBreak ? QChar(u' ') : c;
    }
    return visibleControls(line);
}

QString LoadManifest::text(const Content& content, const std::vector<ManifestPage>& pages)
{
    auto joined = [](const QStringList& cells) {
        QStringList shownCells;
        for (const QString& cell : cells)
            shownCells << shown(cell);
        return shownCells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    };
    QString text;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        text += joined(pageHeading(content, int(p + 1), int(pages.size())));
        for (const ManifestLine& line : pages[p])
            text += joined(line.cells);
    }
    return text;
}

int LoadManifest::paint(QPagedPaintDevice& device, const Content& content)
{
    const QRectF area = device.pageLayout().paintRect(QPageLayout::Point);
    const std::vector<ManifestPage> pages = layOut(content, linesPerPage(area.height()));
    const double scale = device.logicalDpiY() / 72.0;
    QPainter painter;
    if (!painter.begin(&device))
        throw RuntimeError(RuntimeErrorCode::PathFileAccess, QStringLiteral("The load manifest could not be started"));
    for (std::size_t p = 0; p < pages.size(); ++p) {
        if (p > 0 && !device.newPage())
            throw RuntimeError(RuntimeErrorCode::PathFileAccess,
                               QStringLiteral("The load manifest could not go on to page %1").arg(p + 1));
        paintPage(painter, scale, area.width(), pageHeading(content, int(p + 1), int(pages.size())), pages[p]);
    }
    if (!painter.end())
        throw RuntimeError(RuntimeErrorCode::PathFileAccess, QStringLiteral("The load manifest could not be finished"));
    return int(pages.size());
}

bool LoadManifest::savePdf(const QString& path)
{
    return trap(m_errors, "saveLoadManifestPdf", [&] {
        const Content manifest = content();
        // Drawn in memory first: the file then goes through the one checked writer.
        QByteArray bytes;
        {
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            QPdfWriter pdf(&buffer);
            pdf.setPageLayout(paperLayout(pageSize()));
            pdf.setTitle(tr("Load manifest") + QLatin1Char(' ') + tr("Load %1").arg(shown(manifest.loadId)));
            pdf.setCreator(QStringLiteral("Palletry"));
            paint(pdf, manifest);
        }
        writeWholeFile(path, QStringLiteral("The load manifest"), bytes);
    });
}

void LoadManifest::printWithDialog(QWidget* parent)
{
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    printer->setPageLayout(paperLayout(pageSize()));
    printer->setDocName(tr("Load %1 manifest").arg(shown(m_screen.txtLoadID->text())));
    // Opened, not run: the host's events go on, and the dialog goes with the control.
    auto* dialog = new QPrintDialog(printer.get(), parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(tr("Print manifest"));
    QObject::connect(dialog, static_cast<void (QDialog::*)()>(&QDialog::accepted), parent, [this, printer] {
        trap(m_errors, "printLoadManifest", [&] { paint(*printer, content()); });
    });
    dialog->open();
}

QImage LoadManifest::pageImage(int page, int dotsPerInch)
{
    QImage image;
    trap(m_errors, "loadManifestPage", [&] {
        // The image is built on the host's user-interface thread: its size is bounded.
        if (dotsPerInch < 1 || dotsPerInch > MaxPageDpi)
            throw RuntimeError(RuntimeErrorCode::InvalidProcedureCall,
                               QStringLiteral("A manifest page is drawn at 1 to %1 dots per inch, not %2")
                                   .arg(MaxPageDpi)
                                   .arg(dotsPerInch));
        const Content manifest = content();
        const QPageLayout layout = paperLayout(pageSize());
        const QRectF area = layout.paintRect(QPageLayout::Point);
        const std::vector<ManifestPage> pages = layOut(manifest, linesPerPage(area.height()));
        if (page < 1 || page > int(pages.size()))
            return;
        const double scale = dotsPerInch / 72.0;
        const QRectF paper = layout.fullRect(QPageLayout::Point);
        image = QImage(int(paper.width() * scale), int(paper.height() * scale), QImage::Format_RGB32);
        // Fonts in points take their size from the image's resolution.
        image.setDotsPerMeterX(qRound(dotsPerInch / 0.0254));
        image.setDotsPerMeterY(qRound(dotsPerInch / 0.0254));
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.translate(area.left() * scale, area.top() * scale);
        paintPage(painter, scale, area.width(), pageHeading(manifest, page, int(pages.size())), pages[page - 1]);
    });
    return image;
}

} // namespace palletry
