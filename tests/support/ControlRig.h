#pragma once

#include "QtPrinters.h"
#include "ServiceRig.h"

#include "control/Palletry_p.h"
#include "screen/FlexGrid.h"
#include "screen/ListView.h"
#include "screen/Twips.h"
#include "soap/ServiceNamespace.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace palletry::test {

/// A click on the middle of a column's heading, once a list just shown has laid out.
inline void clickHeader(ListView& list, int column)
{
    QCoreApplication::processEvents();
    QHeaderView* header = list.header();
    const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    settle();
}

// A shown control with its outlets recorded, plus a loopback server whose
// address is in the control's fields as LoadData would have put it there.
struct ControlRig
{
    ControlRig()
        : d(*Palletry::Private::get(&control))
        , recorder(control)
    {
        pointAt(d.state, server);
        pointAt(d.requests, server);
        control.show();
    }
    void setResult(const std::string& operation, const std::string& resultText)
    {
        server.setReply(CannedReply::xml(operationReply(operation, resultText)));
    }
    /// Runs @p task as the control runs a clerk's action, to its end.
    void runAction(Task<void> task)
    {
        ASSERT_NE(d.runner.start(std::move(task)), 0u);
        settle();
    }
    static QStringList column(const ListView& list, int col)
    {
        QStringList out;
        for (int pos = 1; pos <= list.count(); ++pos)
            out << (col == 0 ? list.text(pos) : list.subItem(pos, col));
        return out;
    }
    static QStringList row(const ListView& list, int pos, int subItems)
    {
        QStringList out{list.text(pos)};
        for (int n = 1; n <= subItems; ++n)
            out << list.subItem(pos, n);
        return out;
    }
    static QStringList gridRow(const FlexGrid& grid, int r)
    {
        QStringList out;
        for (int c = 0; c < grid.cols(); ++c)
            out << grid.text(r, c);
        return out;
    }
    Palletry control;
    Palletry::Private& d;
    ReportRecorder recorder;
    LoopbackHttpServer server;
};

} // namespace palletry::test
