#include "DemoWindow.h"

#include <palletry/Palletry.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTime>
#include <QTimer>

namespace {

/// A left click on the cell (row, column) of a list or grid, as the mouse would give it.
void clickCell(QAbstractItemView* view, int row, int column, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QModelIndex index = view->model()->index(row, column);
    view->scrollTo(index);
    const QPoint at = view->visualRect(index).center();
    const QPoint global = view->viewport()->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, modifiers);
    QApplication::sendEvent(view->viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, modifiers);
    QApplication::sendEvent(view->viewport(), &release);
}

/// What a clerk would see: a view lays out its rows and shows its scroll bars from posted
/// events and a zero-time timer, after the clicks or the tab change that filled it have returned.
void settle()
{
    for (int pass = 0; pass < 3; ++pass)
        QApplication::processEvents();
}

} // namespace

DemoWindow::DemoWindow(QWidget* parent)
    : QMainWindow(parent)
    , m_control(new Palletry(this))
{
    setWindowTitle(QStringLiteral("Palletry demo host"));
    setCentralWidget(m_control);
    // The control fixes its height per tab, which the layout passes on as the window's limits;
    // the offscreen platform keeps no limits and warns at each change, so headless there are none.
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        layout()->setSizeConstraint(QLayout::SetNoConstraint);
    // The host's own clock: it goes on ticking while the control waits for the service.
    auto* clock = new QLabel(this);
    clock->setObjectName(QStringLiteral("hostClock"));
    statusBar()->addPermanentWidget(clock);
    auto* tick = new QTimer(this);
    connect(tick, &QTimer::timeout, clock,
            [clock] { clock->setText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))); });
    tick->start(1000);
}

QStringList DemoWindow::renderTabs(const QString& dir)
{
    QStringList written;
    // The screen's elements are reachable by their names; the host needs nothing else.
    auto* tabs = m_control->findChild<QTabWidget*>(QStringLiteral("tabPalletry"));
    if (!tabs)
        return written;
    QDir().mkpath(dir);
    for (int i = 0; i < tabs->count(); ++i) {
        const QString file = QDir(dir).filePath(QStringLiteral("tab%1.png").arg(i));
        if (renderTab(i, file))
            written << file;
    }
    return written;
}

bool DemoWindow::renderTab(int index, const QString& file)
{
    auto* tabs = m_control->findChild<QTabWidget*>(QStringLiteral("tabPalletry"));
    if (!tabs)
        return false;
    const int current = tabs->currentIndex();
    // A tab the clerk may not choose yet is drawn greyed; show it as in use.
    const bool enabled = tabs->isTabEnabled(index);
    tabs->setTabEnabled(index, true);
    tabs->setCurrentIndex(index);
    settle();
    const bool saved = m_control->grab().save(file);
    tabs->setCurrentIndex(current);
    tabs->setTabEnabled(index, enabled);
    return saved;
}

bool DemoWindow::render(const QString& file)
{
    QDir().mkpath(QFileInfo(file).absolutePath());
    settle();
    return m_control->grab().save(file);
}

bool DemoWindow::showVendorDetails()
{
    auto view = [this](const char* name) { return m_control->findChild<QAbstractItemView*>(QLatin1String(name)); };
    auto button = [this](const char* name) { return m_control->findChild<QPushButton*>(QLatin1String(name)); };
    auto field = [this](const char* name) { return m_control->findChild<QLineEdit*>(QLatin1String(name)); };
    QAbstractItemView* vendors = view("lstVendors");
    QAbstractItemView* open = view("lstProspectivePOs");
    QAbstractItemView* chosen = view("lstSelectedPOs");
    QAbstractItemView* lines = view("grdOrdItems");
    if (!vendors || !open || !chosen || !lines)
        return false;

    for (int row = 0; row < vendors->model()->rowCount(); ++row) {
        clickCell(vendors, row, 0);
        button("cmdViewDetails")->click();
        if (open->model()->rowCount() >= 3)
            break;
        button("cmdFinished")->click();
    }
    if (open->model()->rowCount() < 3)
        return false;

    clickCell(open, 0, 0);
    clickCell(open, 2, 0, Qt::ControlModifier);
    button("cmdSelect")->click();
    clickCell(chosen, 0, 0);
    if (lines->model()->rowCount() > 2)
        clickCell(lines, 2, 1);
    if (field("txtNumberOfCartons")->isEnabled())
        field("txtNumberOfCartons")->setText(QStringLiteral("12"));
    field("txtUnitWeight")->setText(QStringLiteral("25.5"));
    return true;
}

bool DemoWindow::showManualPO()
{
    auto button = [this](const char* name) { return m_control->findChild<QPushButton*>(QLatin1String(name)); };
    auto field = [this](const char* name) { return m_control->findChild<QLineEdit*>(QLatin1String(name)); };
    auto* load = m_control->findChild<QAbstractItemView*>(QStringLiteral("lstAllSelectedPOs"));
    auto* lines = m_control->findChild<QAbstractItemView*>(QStringLiteral("grdManualPOItems"));
    if (!load || !lines)
        return false;
    button("cmdFinished")->click(); // leave the vendor details, if open
    button("cmdViewAll")->click();
    if (load->model()->rowCount() == 0)
        return false;
    field("txtAddPO")->setText(load->model()->index(0, 0).data().toString());
    button("cmdAddPO")->click();
    if (lines->model()->rowCount() > 2)
        clickCell(lines, 2, 1);
    field("txtManualPOUnitWeight")->setText(QStringLiteral("18.25"));
    return true;
}
