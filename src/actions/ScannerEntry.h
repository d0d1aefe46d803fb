#pragma once

#include <QObject>

#include <functional>
#include <utility>
#include <vector>

class QPushButton;
class QWidget;

namespace palletry {

/**
 * Scanner-friendly entry: barcode scanners and scales type into the focused
 * widget and end with Enter. While on, Enter (Return or keypad Enter) in one of
 * the watched widgets does that widget's part: clicks its button when that is
 * available and in view, moves on to the next field, or acts on a list's or
 * grid's current row. Either way the Enter ends there: passed on, it would reach
 * the host's default button and, in a dialog, close it in the middle of a scan.
 * Any other key goes on as usual. While off, nothing is watched at all.
 *
 * The control also asks it, at the end of an action, to put the focus where the
 * next scan goes (focus()); while off that changes nothing either.
 */
class ScannerEntry : public QObject
{
    Q_OBJECT

public:
    explicit ScannerEntry(QObject* parent = nullptr);

    /// Enter in @p widget presses @p button; without one it is only kept from the host.
    void watch(QWidget* widget, QPushButton* button = nullptr);
    /// Enter in @p widget runs @p onEnter.
    void watch(QWidget* widget, std::function<void()> onEnter);
    /// Enter in @p widget moves the focus on to @p next.
    void watchNext(QWidget* widget, QWidget* next);

    /// While on, gives @p widget the focus if it is in view and available (none: nothing).
    void focus(QWidget* widget) const;

    bool isOn() const { return m_on; }
    void setOn(bool on);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<std::pair<QWidget*, std::function<void()>>> m_watched;
    bool m_on = false;
};

} // namespace palletry
