#include "picture/QuarterTurn.h"

#include <algorithm>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define SULO_QUARTER_TURN_SSE2 1
#endif

namespace {

// A source tile of Tile x Tile pixels is read row by row and written column by
// column; 32 x 32 keeps both the tile's source lines and its destination lines
// in the first-level cache, so each cache line is fetched once.
constexpr int Tile = 32;

// Destination column for source row y.
inline std::size_t Column(int y, int height, bool mirror) {
  return static_cast<std::size_t>(mirror ? y : height - 1 - y);
}

void TurnTileScalar(const std::uint32_t* src, int x0, int x1, int y0, int y1, int height, std::size_t srcStride,
                    std::uint32_t* dst, std::size_t dstStride, bool mirror) {
  for (int y = y0; y < y1; ++y) {
    const std::uint32_t* row = src + static_cast<std::size_t>(y) * srcStride;
    const std::size_t column = Column(y, height, mirror);
    for (int x = x0; x < x1; ++x) dst[static_cast<std::size_t>(x) * dstStride + column] = row[x];
  }
}

#ifdef SULO_QUARTER_TURN_SSE2
// A tile whose sides are multiples of 4 in 4 x 4 blocks: four source rows are
// loaded, transposed in registers and stored as four destination rows.
void TurnTileSse2(const std::uint32_t* src, int x0, int x1, int y0, int y1, int height, std::size_t srcStride,
                  std::uint32_t* dst, std::size_t dstStride, bool mirror) {
  for (int y = y0; y < y1; y += 4) {
    const std::uint32_t* r = src + static_cast<std::size_t>(y) * srcStride;
    // Where the four source rows land in each destination row.
    const std::size_t column = mirror ? static_cast<std::size_t>(y) : static_cast<std::size_t>(height - 4 - y);
    for (int x = x0; x < x1; x += 4) {
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r + x));
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r + srcStride + x));
      const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r + 2 * srcStride + x));
      const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r + 3 * srcStride + x));
      const __m128i ab0 = _mm_unpacklo_epi32(a, b);  // a0 b0 a1 b1
      const __m128i cd0 = _mm_unpacklo_epi32(c, d);
      const __m128i ab2 = _mm_unpackhi_epi32(a, b);  // a2 b2 a3 b3
      const __m128i cd2 = _mm_unpackhi_epi32(c, d);
      __m128i col[4] = {_mm_unpacklo_epi64(ab0, cd0), _mm_unpackhi_epi64(ab0, cd0), _mm_unpacklo_epi64(ab2, cd2),
                        _mm_unpackhi_epi64(ab2, cd2)};
      for (int i = 0; i < 4; ++i) {
        // Clockwise, the lowest source row ends up rightmost.
        const __m128i v = mirror ? col[i] : _mm_shuffle_epi32(col[i], _MM_SHUFFLE(0, 1, 2, 3));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + static_cast<std::size_t>(x + i) * dstStride + column), v);
      }
    }
  }
}
#endif

}  // namespace

void QuarterTurn(const std::uint32_t* src, int width, int height, std::size_t srcStride, std::uint32_t* dst,
                 std::size_t dstStride, bool mirror) {
  for (int y0 = 0; y0 < height; y0 += Tile) {
    const int y1 = std::min(y0 + Tile, height);
    for (int x0 = 0; x0 < width; x0 += Tile) {
      const int x1 = std::min(x0 + Tile, width);
#ifdef SULO_QUARTER_TURN_SSE2
      // The part of the tile in whole 4 x 4 blocks, then the leftover right
      // columns and bottom rows one pixel at a time.
      const int xs = x0 + ((x1 - x0) & ~3), ys = y0 + ((y1 - y0) & ~3);
      TurnTileSse2(src, x0, xs, y0, ys, height, srcStride, dst, dstStride, mirror);
      TurnTileScalar(src, xs, x1, y0, ys, height, srcStride, dst, dstStride, mirror);
      TurnTileScalar(src, x0, x1, ys, y1, height, srcStride, dst, dstStride, mirror);
#else
      TurnTileScalar(src, x0, x1, y0, y1, height, srcStride, dst, dstStride, mirror);
#endif
    }
  }
}
