// Bytes as a reply body brings them, through the control's own reply chain alone (parsed
// in place -> replyText and every operation's dataSetText), at full speed and any size:
// no input may crash it, and the size hint changes nothing. The comparison with the
// sequential steps, slow on large replies, is reply_unwrap's, on small inputs.

#include "FuzzCheck.h"
#include "ReceivedXml.h"

#include "soap/Unwrap.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace palletry;
    const ReceivedXml received(reinterpret_cast<const char*>(data), size);
    if (!received.loaded)
        return 0;
    const QByteArray text = Unwrap::replyText(received.document, size);
    FUZZ_CHECK(Unwrap::replyText(received.document) == text);
    for (int op = 0; op < 6; ++op) {
        const auto operation = static_cast<Unwrap::Operation>(op);
        const QByteArray unwrapped = Unwrap::dataSetText(operation, received.document, size);
        // The operation's removals only take out of the reply's text.
        FUZZ_CHECK(unwrapped.size() <= text.size());
        FUZZ_CHECK(Unwrap::dataSetText(operation, received.document) == unwrapped);
    }
    return 0;
}
