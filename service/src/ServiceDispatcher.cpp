#include "ServiceDispatcher.h"

#include "LoadDatabase.h"
#include "SoapFault.h"
#include "SoapReply.h"
#include "SoapRequest.h"
#include "palletry_service/ReferenceService.h"

#include <cstring>
#include <vector>

namespace palletry_service {

namespace {

const char* const Operations[] = {"GetVendorIncomingLoad",  "GetVendorDataVendorMaster", "GetVendorHomeDeliverly",
                                  "GetVendorOrdersAndCentersOnly", "GetOrderDetails", "GetVendorDetailsByOrderID",
                                  "AddPODetails",           "AddPO",                     "DeletePO"};

// The operation a SOAPAction names, or the empty text when it names none of the service's.
std::string operationOf(std::string action)
{
    if (action.size() >= 2 && action.front() == '"' && action.back() == '"')
        action = action.substr(1, action.size() - 2);
    const std::string prefix = std::string(ServiceNamespace) + "/";
    if (action.compare(0, prefix.size(), prefix) != 0)
        return {};
    const std::string name = action.substr(prefix.size());
    for (const char* op : Operations)
        if (name == op)
            return name;
    return {};
}

// Reads that answer with a DataSet: frame the escaped DataSet as the operation's result;
// read runs under the database lock.
template <typename Read>
std::string resultReply(const std::string& operation, std::mutex& dbMutex, Read read)
{
    std::string out;
    out.reserve(4096);
    SoapReply::appendResultStart(out, operation);
    std::size_t rows = 0;
    {
        std::lock_guard<std::mutex> lock(dbMutex);
        rows = read(out);
    }
    // This operation answers a null result, not an empty DataSet, for an order without
    // line items.
    if (rows == 0 && operation == "GetOrderDetails")
        return SoapReply::emptyResult(operation);
    SoapReply::appendResultEnd(out, operation);
    return out;
}

} // namespace

ServiceReply ServiceDispatcher::handle(const std::string& soapAction, const std::string& body)
{
    try {
        const std::string operation = operationOf(soapAction);
        if (operation.empty())
            throw SoapFault(SoapFault::Code::Client,
                            "Server did not recognize the value of HTTP Header SOAPAction: "
                                + SoapFault::excerpt(soapAction) + ".");
        return {200, dispatch(operation, body)};
    } catch (const SoapFault& fault) {
        return {500, SoapReply::fault(fault.faultCode(), fault.what())};
    } catch (const std::exception& error) {
        return {500, SoapReply::fault("soap:Server",
                                      std::string("Server was unable to process request. ---> ") + error.what())};
    }
}

ServiceReply ServiceDispatcher::unreadable(const std::string& reason)
{
    const SoapFault fault = SoapFault::unreadable(reason);
    return {500, SoapReply::fault(fault.faultCode(), fault.what())};
}

ServiceDispatcher::LargeParseTurn::LargeParseTurn(ServiceDispatcher& dispatcher, std::size_t bodyBytes)
{
    if (bodyBytes < LargeBody)
        return;
    std::unique_lock<std::mutex> lock(dispatcher.turnsMutex_);
    dispatcher.turnFreed_.wait(lock, [&] { return dispatcher.largeParses_ < LargeParses; });
    ++dispatcher.largeParses_;
    dispatcher_ = &dispatcher;
}

ServiceDispatcher::LargeParseTurn::~LargeParseTurn()
{
    if (!dispatcher_)
        return;
    {
        std::lock_guard<std::mutex> lock(dispatcher_->turnsMutex_);
        --dispatcher_->largeParses_;
    }
    dispatcher_->turnFreed_.notify_one();
}

std::string ServiceDispatcher::dispatch(const std::string& operation, const std::string& body)
{
    const LargeParseTurn turn(*this, body.size());
    const SoapRequest request(body);
    if (request.operationName() != operation || request.operationNamespace() != ServiceNamespace)
        throw SoapFault::unreadable("The SOAPAction names " + operation + " but the body holds <"
                                    + SoapFault::excerpt(request.operationName()) + " xmlns='"
                                    + SoapFault::excerpt(request.operationNamespace()) + "'>.");

    if (operation == "GetVendorIncomingLoad") {
        const auto load = request.int32("IncomingLoadID");
        return resultReply(operation, dbMutex_, [&](std::string& out) { return db_.incomingLoad(out, load); });
    }
    if (operation == "GetVendorDataVendorMaster")
        return resultReply(operation, dbMutex_, [&](std::string& out) { return db_.vendorMaster(out); });
    if (operation == "GetVendorHomeDeliverly") {
        const auto load = request.int32("IncomingLoadID");
        return resultReply(operation, dbMutex_, [&](std::string& out) { return db_.homeDeliverly(out, load); });
    }
    if (operation == "GetVendorOrdersAndCentersOnly") {
        const auto vendor = request.int32("VendorID");
        const auto load = request.int32("IncomingLoadID");
        return resultReply(operation, dbMutex_,
                           [&](std::string& out) { return db_.vendorOrdersAndCenters(out, vendor, load); });
    }
    if (operation == "GetOrderDetails") {
        const std::string order = request.text("OrderID").value_or("");
        const auto load = request.int32("IncomingLoadID");
        return resultReply(operation, dbMutex_, [&](std::string& out) { return db_.orderDetails(out, order, load); });
    }
    if (operation == "GetVendorDetailsByOrderID") {
        const std::string order = request.text("OrderID").value_or("");
        return resultReply(operation, dbMutex_,
                           [&](std::string& out) { return db_.vendorDetailsByOrderId(out, order); });
    }
    if (operation == "AddPODetails") {
        LineItemDetails details;
        details.orderId = request.text("OrderID").value_or("");
        details.segment = request.int32("KLTV_OrderSegment");
        details.lineItem = request.int32("LineItem");
        details.receivedDate = request.text("ReceivedDate").value_or("");
        details.quantityReceived = request.int32("QuantityReceived");
        details.unitWeight = request.number("UnitWeight");
        details.personId = request.int32("PersonID");
        details.personType = request.text("PersonType").value_or("");
        details.recordLastUpdated = request.text("RecordLastUpdated").value_or("");
        details.unloadedIndicator = request.int32("UnloadedIndicator");
        details.storageIndicator = request.int32("StorageIndicator");
        locked([&] { db_.addPODetails(details); });
        return SoapReply::writeDone(operation);
    }
    if (operation == "AddPO") {
        const std::vector<std::string> orders = request.stringArray("OrdersArray");
        locked([&] { db_.addPO(orders); });
        return SoapReply::writeDone(operation);
    }
    // DeletePO
    const std::string order = request.text("OrderID").value_or("");
    const auto segment = request.int32("OrderSegment");
    locked([&] { db_.deletePO(order, segment); });
    return SoapReply::writeDone(operation);
}

} // namespace palletry_service
