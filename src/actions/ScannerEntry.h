#pragma once

#include <QObject>

#include <utility>
#include <vector>

class QLineEdit;
class QPushButton;

namespace palletry {

/**
 * Scanner-friendly entry: barcode scanners and scales type into the focused
 * field and end with Enter. While on, Enter (Return or keypad Enter) in one of
 * the watched fields clicks that field's button when it has one that is
 * available and in view, so whatever handler the button runs, runs. Either way
 * the Enter ends there: passed on, it would reach the host's default button and,
 * in a dialog, close it in the middle of a scan. Any other key goes on to the
 * field as usual. While off, nothing is watched at all.
 */
class ScannerEntry : public QObject
{
    Q_OBJECT

public:
    explicit ScannerEntry(QObject* parent = nullptr);

    /// Enter in @p field presses @p button; without one it is only kept from the host.
    void watch(QLineEdit* field, QPushButton* button = nullptr);

    bool isOn() const { return m_on; }
    void setOn(bool on);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<std::pair<QLineEdit*, QPushButton*>> m_fields;
    bool m_on = false;
};

} // namespace palletry
