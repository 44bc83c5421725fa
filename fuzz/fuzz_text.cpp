// Cutting arbitrary bytes, valid UTF-8 or not, to a buffer: never past it, never inside a character.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/text.h"

namespace {

// The length of the valid UTF-8 sequence starting at `at`, or 0 when none starts there.
std::size_t ValidSequence(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    if (length == 0 || at + length > text.size())
        return 0;
    for (std::size_t i = at + 1; i < at + length; ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            return 0;
    return length;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const std::size_t buffer = data[0];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t kept = FittingLength(text, buffer);
    if (buffer == 0 ? kept != 0 : kept > buffer - 1 || kept > text.size())
        std::abort();
    if (buffer > 0 && text.size() <= buffer - 1 && kept != text.size())
        std::abort();
    // A cut never falls inside a whole, valid character, and gives up at most three bytes of room.
    for (std::size_t at = 0; at < kept;) {
        const std::size_t length = ValidSequence(text, at);
        if (length > 1 && at + length > kept)
            std::abort();
        at += length ? length : 1;
    }
    if (buffer > 0 && text.size() > buffer - 1 && kept + 3 < buffer - 1)
        std::abort();
    return 0;
}
