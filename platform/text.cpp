#include "platform/text.h"

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length a lead byte announces, or 1 for a byte that starts no multi-byte sequence.
std::size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 1;
}

}  // namespace

std::size_t FittingLength(std::string_view text, std::size_t bufferSize) {
    if (bufferSize == 0)
        return 0;
    const std::size_t limit = bufferSize - 1;
    if (text.size() <= limit)
        return text.size();
    // Step back from the cut over at most three continuation bytes to the sequence they belong to.
    std::size_t start = limit;
    while (start > 0 && limit - start < 3 && IsContinuation(static_cast<unsigned char>(text[start])))
        --start;
    const std::size_t length = SequenceLength(static_cast<unsigned char>(text[start]));
    if (length == 1 || start + length <= limit)
        return limit;
    // A sequence that runs past the cut is a whole character only if all its bytes are continuations.
    for (std::size_t i = start + 1; i < start + length; ++i)
        if (i >= text.size() || !IsContinuation(static_cast<unsigned char>(text[i])))
            return limit;
    return start;
}
