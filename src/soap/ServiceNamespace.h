#pragma once

namespace palletry {

/// The web service's XML namespace; SOAP actions are this + "/" + the operation's name.
inline constexpr char ServiceNamespace[] = "http://tempuri.org/KLTVRouteLocations/Service1";

/// Path of the service on the server that LoadData names.
inline constexpr char ServicePath[] = "/WebServices/KLTVWebservice/KLTVWebservice.asmx";

} // namespace palletry
