#pragma once

#include <QString>
#include <QtGlobal>

#include <utility>

namespace palletry {

class ErrorSink;
class ListView;
class Screen;

/**
 * Column-header clicks of the four lists. A click on the header of the
 * current sort column reverses the direction; a click on another header sorts
 * by that column and keeps the direction.
 */
class SortHandlers
{
public:
    SortHandlers(Screen& screen, ErrorSink& errors);

    /// @p header is the 1-based index of the clicked column header.
    void lstVendors_ColumnClick(int header);
    void lstProspectivePOs_ColumnClick(int header);
    void lstSelectedPOs_ColumnClick(int header);
    void lstAllSelectedPOs_ColumnClick(int header);

    /// Clears the cells of the line-item grid of the vendor details; @p orderId is not used.
    void LoadOrderDetail(const QString& orderId);

    /// The sorting rule itself, for any list.
    static void sortByHeader(ListView& list, int header);
    /// The column and direction a click on @p header gives @p list, without sorting it.
    static std::pair<int, Qt::SortOrder> sortAfterClick(const ListView& list, int header);

private:
    Screen& m_screen;
    ErrorSink& m_errors;
};

} // namespace palletry
