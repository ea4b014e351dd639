// The quarter turn of a 32-bit bitmap, the part of composing a picture that
// touches every pixel after the decoder.
#pragma once

#include <cstddef>
#include <cstdint>

// Writes the `width` x `height` bitmap `src` (rows `srcStride` pixels apart)
// into `dst`, which is `height` x `width` (rows `dstStride` pixels apart),
// turned a quarter turn clockwise; with `mirror` the result is also mirrored
// left to right, which makes it a plain transpose. The two must not overlap.
void QuarterTurn(const std::uint32_t* src, int width, int height, std::size_t srcStride, std::uint32_t* dst,
                 std::size_t dstStride, bool mirror);
