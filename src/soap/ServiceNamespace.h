#pragma once

namespace palletry {

/// The web service's XML namespace; SOAP actions are this + "/" + the operation's name.
inline constexpr char ServiceNamespace[] = "http://tempuri.org/KLTVRouteLocations/Service1";

} // namespace palletry
