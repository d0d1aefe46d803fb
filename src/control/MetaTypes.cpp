// The public record is registered when the library loads, so that hosts, script
// bridges and test tools find it by name (QMetaType::fromName) before any use.
#include <palletry/Palletry.h>

namespace {

const int homeDelieveryUDTType = qRegisterMetaType<HomeDelieveryUDT>();

} // namespace
