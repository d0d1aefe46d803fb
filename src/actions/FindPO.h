#pragma once

#include <QCoreApplication>

namespace palletry {

class ErrorSink;
class MessageBoxes;
class Screen;

/**
 * "Search P.O.": looks a PO number up in the open or the chosen orders,
 * padded with leading zeros to the 11 characters of a PO number.
 */
class FindPO
{
    Q_DECLARE_TR_FUNCTIONS(FindPO)

public:
    FindPO(Screen& screen, ErrorSink& errors, MessageBoxes& boxes);

    /// "Find" is available only while txtFindPO holds text.
    void txtFindPO_Change();

    /**
     * Highlights and scrolls to the first row of the chosen list whose order id
     * equals the padded search text (letters in any case), after taking the
     * highlight off the list's current row; says so when there is none. The
     * field is emptied either way.
     */
    void cmdFind_Click();

private:
    Screen& m_screen;
    ErrorSink& m_errors;
    MessageBoxes& m_boxes;
};

} // namespace palletry
