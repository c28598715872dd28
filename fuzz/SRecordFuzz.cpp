// The firmware file decoder of the service page, fed arbitrary text.
// Whatever it is given, it ends, and either refuses the file with a reason
// and no image, or gives an image within the limit that, written out again
// as S-records, decodes to itself.

#include <cstdint>
#include <string_view>

#include "FuzzSupport.h"
#include "core/service/SRecordDecoder.h"
#include "tests/common/SRecordText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const lt::SRecordDecoding decoding = lt::decodeSRecords(text);
    if (!decoding.ok) {
        lt::fuzz::check(decoding.image.empty(), "a refused file left an image");
        lt::fuzz::check(!decoding.error.empty(), "a refused file has no reason");
        return 0;
    }
    lt::fuzz::check(!decoding.image.empty(), "an accepted file gave no image");
    lt::fuzz::check(
        decoding.image.size() <= lt::kFirmwareImageLimit, "the image exceeds its limit");
    const lt::SRecordDecoding again = lt::decodeSRecords(lt::testing::sRecordText(decoding.image));
    lt::fuzz::check(
        again.ok && again.image == decoding.image, "the image does not survive a round trip");
    return 0;
}
