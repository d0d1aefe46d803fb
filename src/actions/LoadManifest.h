#pragma once

#include "actions/LoadSheet.h"

#include <QCoreApplication>
#include <QImage>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <QStringList>

#include <vector>

class QPagedPaintDevice;
class QWidget;

namespace palletry {

struct ControlState;
class ErrorSink;
class Screen;

/// One line of a manifest page's body: what it is, and its texts as they are drawn.
struct ManifestLine
{
    enum Kind { Field, Columns, Vendor, Order, Subtotal, Gap, Heading, Total, Note, Signature };
    Kind kind;
    QStringList cells;
};
using ManifestPage = std::vector<ManifestLine>;

/**
 * The load on paper: the manifest a driver signs at the end of a truck. The load
 * header, the orders grouped by vendor with their cartons and a subtotal per
 * vendor, the totals, who worked the load, when it was printed and lines to sign.
 * Every page is headed by the load, its truck, date and carrier and "Page n of m", on
 * the paper of the control's locale unless the host chose another. A vendor starts a new page
 * when it does not fit on the rest of one but fits on a page of its own; a longer
 * one goes on across pages under a "(continued)" heading, and its last order stays
 * with its subtotal. The totals and the signatures stay together.
 *
 * Laid out in lines of a fixed height in points, so a page holds the same lines on
 * any device: a PDF, a printer, an image.
 */
class LoadManifest
{
    Q_DECLARE_TR_FUNCTIONS(LoadManifest)

public:
    /// What goes on paper, read off the screen and the control's fields.
    struct Content
    {
        QString loadId;
        QString truck;
        QString date;
        QString carrier;
        QString workedBy;
        QString printedAt;
        std::vector<LoadOrder> orders;
    };

    LoadManifest(ControlState& state, Screen& screen, ErrorSink& errors, LoadSheet& sheet);

    Content content() const;

    /// Letter where @p locale's country uses it (the United States, Canada, Mexico, …), A4 elsewhere.
    static QPageSize localePageSize(const QLocale& locale = QLocale());
    /// @p size upright with half-inch margins: the PDF's and the image's page, and the printer's to start with.
    static QPageLayout paperLayout(const QPageSize& size = localePageSize());
    /// The paper chosen with setPageSize(), else that of the control's locale.
    QPageSize pageSize() const;
    /// An invalid size goes back to the locale's paper.
    void setPageSize(const QPageSize& size) { m_pageSize = size; }
    /// How many body lines a page of a printable area @p heightPoints high holds below its heading.
    static int linesPerPage(double heightPoints);
    /**
     * The body laid on pages of @p linesPerPage lines. Raises an error when an
     * order's carton count is no number or a page cannot hold the totals.
     */
    static std::vector<ManifestPage> layOut(const Content& content, int linesPerPage);
    /// The heading of page @p page (1-based) of @p pages: the title, truck, date and carrier, the load, "Page n of m".
    static QStringList pageHeading(const Content& content, int page, int pages);
    /// Every text on the pages as drawn: per drawn line its cells joined by tabs, page headings included.
    static QString text(const Content& content, const std::vector<ManifestPage>& pages);
    /**
     * A value as the manifest shows it, on paper, in the PDF and in the preview: one line
     * (line breaks and tabs as spaces), the characters a layout acts on rather than shows
     * (bidirectional controls, other controls) written visibly as the event log writes them,
     * so that no name can reorder or overprint what a driver signs.
     */
    static QString shown(const QString& value);

    /// Lays the manifest out on @p device's pages and paints it; the number of pages. Raises an error on failure.
    int paint(QPagedPaintDevice& device, const Content& content);

    /// A PDF on pageSize() paper, written whole or not at all; a failure is reported under "saveLoadManifestPdf".
    bool savePdf(const QString& path);
    /// "Print manifest…": the platform's print dialog, then the manifest on the printer chosen.
    void printWithDialog(QWidget* parent);
    /// Page @p page (1-based) of the manifest on pageSize() paper as an image; a null image when there is no such page.
    QImage pageImage(int page, int dotsPerInch);

private:
    ControlState& m_state;
    Screen& m_screen;
    ErrorSink& m_errors;
    LoadSheet& m_sheet;
    QPageSize m_pageSize; // invalid: the locale's
};

} // namespace palletry
