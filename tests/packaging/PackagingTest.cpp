// The control as tools see it: by name through Qt's meta-object system, and through
// the Designer plugin.
#include <palletry/Palletry.h>
#include <palletry_service/ReferenceService.h>

#include <QLineEdit>
#include <QMetaProperty>
#include <QPluginLoader>
#include <gtest/gtest.h>

#ifdef PALLETRY_DESIGNER_PLUGIN
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#endif

TEST(MetaObject, LoadDataCalledByNameOpensTheLoad)
{
    palletry_service::ReferenceService service;
    ASSERT_TRUE(service.start());
    Palletry control;
    control.setEventLogFile(QStringLiteral("/dev/null"));
    const QString server = QString::fromStdString(service.serverName());
    ASSERT_TRUE(QMetaObject::invokeMethod(&control, "LoadData", Q_ARG(QString, server),
                                          Q_ARG(qint32, service.demoLoadId())));
    EXPECT_EQ(control.findChild<QLineEdit*>(QStringLiteral("txtLoadID"))->text(),
              QString::number(service.demoLoadId()));

    // The public record is known by name, with its two fields readable as properties.
    const QMetaType udt = QMetaType::fromName("HomeDelieveryUDT");
    ASSERT_TRUE(udt.isValid());
    const HomeDelieveryUDT order{QStringLiteral("PO-7"), 3};
    const QMetaObject* meta = udt.metaObject();
    ASSERT_NE(meta, nullptr);
    EXPECT_EQ(meta->property(meta->indexOfProperty("OrderID")).readOnGadget(&order).toString(), order.OrderID);
    EXPECT_EQ(meta->property(meta->indexOfProperty("OrderSegment")).readOnGadget(&order).value<qint16>(), 3);
}

#ifdef PALLETRY_DESIGNER_PLUGIN
TEST(DesignerPlugin, OffersThePalletryWidget)
{
    QPluginLoader loader(QStringLiteral(PALLETRY_DESIGNER_PLUGIN));
    auto* plugin = qobject_cast<QDesignerCustomWidgetInterface*>(loader.instance());
    ASSERT_NE(plugin, nullptr) << loader.errorString().toStdString();
    EXPECT_EQ(plugin->name(), QStringLiteral("Palletry"));
    QWidget form;
    QWidget* widget = plugin->createWidget(&form);
    EXPECT_NE(qobject_cast<Palletry*>(widget), nullptr);
    EXPECT_EQ(widget->parent(), &form);
}
#endif
