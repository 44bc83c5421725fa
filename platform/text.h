// Cutting 8-bit text to a buffer without splitting a character.
#pragma once

#include <cstddef>
#include <string_view>

// How many leading bytes of `text` fit a buffer of `bufferSize` bytes with its terminating NUL,
// cut so that no UTF-8 sequence is split. Bytes that are no valid sequence count as one character.
std::size_t FittingLength(std::string_view text, std::size_t bufferSize);
