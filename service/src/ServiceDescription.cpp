#include "ServiceDescription.h"

#include "SoapReply.h"
#include "palletry_service/ReferenceService.h"

#include <initializer_list>
#include <vector>

namespace palletry_service {

namespace {

struct Parameter {
    const char* name;
    const char* type; // an XML Schema type, or ArrayOfString of the service's namespace
};

struct Operation {
    const char* name;
    std::vector<Parameter> parameters;
    bool read;        // answers a DataSet as text in <nameResult>; a write answers an empty response
    const char* what; // for the page
};

const std::vector<Operation>& operations()
{
    static const std::vector<Operation> all = {
        {"GetVendorIncomingLoad", {{"IncomingLoadID", "int"}}, true, "The load's header: truck, date, driver."},
        {"GetVendorDataVendorMaster", {}, true, "Every vendor: id and name."},
        {"GetVendorHomeDeliverly", {{"IncomingLoadID", "int"}}, true,
         "The orders on the load with their segments, centers and cartons."},
        {"GetVendorOrdersAndCentersOnly", {{"VendorID", "int"}, {"IncomingLoadID", "int"}}, true,
         "A vendor's open orders that are not on the load."},
        {"GetOrderDetails", {{"OrderID", "string"}, {"IncomingLoadID", "int"}}, true,
         "An order's line items and its segment on the load (an empty result for an order without line items)."},
        {"GetVendorDetailsByOrderID", {{"OrderID", "string"}}, true, "An order's vendor, member, center and codes."},
        {"AddPODetails",
         {{"OrderID", "string"},
          {"KLTV_OrderSegment", "int"},
          {"LineItem", "int"},
          {"ReceivedDate", "string"},
          {"QuantityReceived", "int"},
          {"UnitWeight", "double"},
          {"PersonID", "int"},
          {"PersonType", "string"},
          {"RecordLastUpdated", "string"},
          {"UnloadedIndicator", "int"},
          {"StorageIndicator", "int"}},
         false,
         "Records a line item's details under an order's segment, unless a newer entry of it is stored."},
        {"AddPO", {{"OrdersArray", "ArrayOfString"}}, false,
         "Puts orders on loads, each entry ten fields joined by ';', under each order's next segment."},
        {"DeletePO", {{"OrderID", "string"}, {"OrderSegment", "int"}}, false,
         "Removes one segment of an order from its load, with its line-item details."},
    };
    return all;
}

std::string escaped(const std::string& text)
{
    std::string out;
    SoapReply::appendEscaped(out, text);
    for (std::size_t i = 0; (i = out.find('"', i)) != std::string::npos; i += 6)
        out.replace(i, 1, "&quot;");
    return out;
}

std::string elementOf(const Parameter& p)
{
    const std::string name = p.name;
    if (std::string(p.type) == "ArrayOfString")
        return "<s:element minOccurs=\"0\" maxOccurs=\"1\" name=\"" + name + "\" type=\"tns:ArrayOfString\" />";
    // As an ASMX service describes them: a value type must be there, a string may be left out.
    const bool value = std::string(p.type) != "string";
    return std::string("<s:element minOccurs=\"") + (value ? "1" : "0") + "\" maxOccurs=\"1\" name=\"" + name
        + "\" type=\"s:" + p.type + "\" />";
}

std::string complexType(const std::vector<std::string>& elements)
{
    if (elements.empty())
        return "<s:complexType />";
    std::string out = "<s:complexType><s:sequence>";
    for (const std::string& e : elements)
        out += e;
    return out + "</s:sequence></s:complexType>";
}

} // namespace

std::string ServiceDescription::wsdl(const std::string& address)
{
    const std::string ns = ServiceNamespace;
    std::string out = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                      "<wsdl:definitions xmlns:soap=\"http://schemas.xmlsoap.org/wsdl/soap/\""
                      " xmlns:s=\"http://www.w3.org/2001/XMLSchema\" xmlns:tns=\"" + ns + "\""
                      " xmlns:wsdl=\"http://schemas.xmlsoap.org/wsdl/\" targetNamespace=\"" + ns + "\">\n"
                      "<wsdl:types>\n<s:schema elementFormDefault=\"qualified\" targetNamespace=\"" + ns + "\">\n";
    for (const Operation& op : operations()) {
        std::vector<std::string> in;
        for (const Parameter& p : op.parameters)
            in.push_back(elementOf(p));
        out += std::string("<s:element name=\"") + op.name + "\">" + complexType(in) + "</s:element>\n";
        std::vector<std::string> result;
        if (op.read)
            result.push_back(std::string("<s:element minOccurs=\"0\" maxOccurs=\"1\" name=\"") + op.name
                             + "Result\" type=\"s:string\" />");
        out += std::string("<s:element name=\"") + op.name + "Response\">" + complexType(result) + "</s:element>\n";
    }
    out += "<s:complexType name=\"ArrayOfString\"><s:sequence>"
           "<s:element minOccurs=\"0\" maxOccurs=\"unbounded\" name=\"string\" nillable=\"true\" type=\"s:string\" />"
           "</s:sequence></s:complexType>\n</s:schema>\n</wsdl:types>\n";
    for (const Operation& op : operations()) {
        const std::string name = op.name;
        out += "<wsdl:message name=\"" + name + "SoapIn\"><wsdl:part name=\"parameters\" element=\"tns:" + name
            + "\" /></wsdl:message>\n<wsdl:message name=\"" + name
            + "SoapOut\"><wsdl:part name=\"parameters\" element=\"tns:" + name + "Response\" /></wsdl:message>\n";
    }
    out += "<wsdl:portType name=\"KLTVWebserviceSoap\">\n";
    for (const Operation& op : operations()) {
        const std::string name = op.name;
        out += "<wsdl:operation name=\"" + name + "\"><wsdl:input message=\"tns:" + name
            + "SoapIn\" /><wsdl:output message=\"tns:" + name + "SoapOut\" /></wsdl:operation>\n";
    }
    out += "</wsdl:portType>\n<wsdl:binding name=\"KLTVWebserviceSoap\" type=\"tns:KLTVWebserviceSoap\">\n"
           "<soap:binding transport=\"http://schemas.xmlsoap.org/soap/http\" />\n";
    for (const Operation& op : operations()) {
        const std::string name = op.name;
        out += "<wsdl:operation name=\"" + name + "\"><soap:operation soapAction=\"" + ns + "/" + name
            + "\" style=\"document\" /><wsdl:input><soap:body use=\"literal\" /></wsdl:input>"
              "<wsdl:output><soap:body use=\"literal\" /></wsdl:output></wsdl:operation>\n";
    }
    out += "</wsdl:binding>\n<wsdl:service name=\"KLTVWebservice\">\n"
           "<wsdl:port name=\"KLTVWebserviceSoap\" binding=\"tns:KLTVWebserviceSoap\"><soap:address location=\""
        + escaped(address) + "\" /></wsdl:port>\n</wsdl:service>\n</wsdl:definitions>\n";
    return out;
}

std::string ServiceDescription::page(const std::string& address)
{
    const std::string ns = ServiceNamespace;
    std::string out = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>KLTVWebservice</title></head><body>\n"
                      "<h1>KLTVWebservice</h1>\n<p>The reference load service: SOAP 1.1 over HTTP POST to <code>"
        + escaped(address) + "</code>, namespace <code>" + ns + "</code>, SOAPAction <code>\"" + ns
        + "/<i>Operation</i>\"</code>. Its description: <a href=\"?WSDL\">WSDL</a>.</p>\n<ul>\n";
    for (const Operation& op : operations()) {
        out += std::string("<li><b>") + op.name + "</b> (";
        for (std::size_t i = 0; i < op.parameters.size(); ++i)
            out += std::string(i ? ", " : "") + op.parameters[i].name + ": " + op.parameters[i].type;
        out += std::string("): ") + op.what + "</li>\n";
    }
    return out + "</ul>\n</body></html>\n";
}

} // namespace palletry_service
