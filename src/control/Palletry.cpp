#include <palletry/Palletry.h>

#include "control/Palletry_p.h"

Palletry::Private::Private(Palletry* control)
    : q(control)
    , messageBoxes(control)
    , errorReport(messageBoxes, eventLog)
    , soapCall(state, errorReport)
{
}

Palletry::Private::~Private() = default;

Palletry::Palletry(QWidget* parent)
    : QWidget(parent)
    , d(std::make_unique<Private>(this))
{
}

Palletry::~Palletry() = default;

void Palletry::SaveData()
{
}

void Palletry::SetPersonInformation(const QString& PersonIDPassed, const QString& PersonTypeIDPassed)
{
    d->state.PersonID = PersonIDPassed;
    d->state.PersonTypeID = PersonTypeIDPassed;
}

void Palletry::ShrinkForm()
{
}

QObject* Palletry::HandleVendorDetailsDelay()
{
    return nullptr;
}

QString Palletry::ReturnWebserviceXML(const QString& AsmxUrl, const QString& Host, const QString& SOAPAction,
                                      const QString& SOAPEnvelope, bool UpdateAddDeleteOnly)
{
    return d->soapCall.ReturnWebserviceXML(AsmxUrl, Host, SOAPAction, SOAPEnvelope, UpdateAddDeleteOnly);
}

qint16 Palletry::CurrentSegmentNumber() const
{
    return d->state.CurrentSegmentNumber;
}

void Palletry::setCurrentSegmentNumber(qint16 value)
{
    d->state.CurrentSegmentNumber = value;
}

void Palletry::setEventLogFile(const QString& path)
{
    d->eventLog.setFile(path);
}
