#include "PalletryDesignerPlugin.h"

#include <palletry/Palletry.h>

PalletryDesignerPlugin::PalletryDesignerPlugin(QObject* parent)
    : QObject(parent)
{
}

QString PalletryDesignerPlugin::name() const
{
    return QStringLiteral("Palletry");
}

QString PalletryDesignerPlugin::group() const
{
    return QStringLiteral("Palletry");
}

QString PalletryDesignerPlugin::toolTip() const
{
    return QStringLiteral("Load-assembly control");
}

QString PalletryDesignerPlugin::whatsThis() const
{
    return QStringLiteral("Assembles one incoming truck load; call SetPersonInformation and LoadData at run time.");
}

QString PalletryDesignerPlugin::includeFile() const
{
    return QStringLiteral("palletry/Palletry.h");
}

QIcon PalletryDesignerPlugin::icon() const
{
    return {};
}

bool PalletryDesignerPlugin::isContainer() const
{
    return false;
}

QWidget* PalletryDesignerPlugin::createWidget(QWidget* parent)
{
    return new Palletry(parent);
}

QString PalletryDesignerPlugin::domXml() const
{
    return QStringLiteral("<ui language=\"c++\"><widget class=\"Palletry\" name=\"palletry\"/></ui>");
}
