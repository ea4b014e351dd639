#include "picture/QuarterTurn.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

struct TTurnCase {
  const char* Name;
  int Width;
  int Height;
};

// Sizes around the tile (32) and block (4) edges, so that both the full-tile
// path and the leftovers are covered.
const TTurnCase TurnCases[] = {
    {"OnePixel", 1, 1},         {"Thin", 3, 5},         {"OneTile", 32, 32},     {"TileAndEdges", 33, 65},
    {"Wide", 100, 37},          {"Tall", 37, 100},      {"BlockNotTile", 8, 12},
};

class QuarterTurnTest : public testing::TestWithParam<std::tuple<TTurnCase, bool>> {};

// Every pixel lands where a clockwise turn (or, mirrored, a transpose) puts it,
// and the padding at the end of each destination row is left alone.
TEST_P(QuarterTurnTest, EveryPixelLandsInPlace) {
  const auto [c, mirror] = GetParam();
  const std::size_t srcStride = static_cast<std::size_t>(c.Width) + 3;
  const std::size_t dstStride = static_cast<std::size_t>(c.Height) + 5;
  std::vector<std::uint32_t> src(srcStride * static_cast<std::size_t>(c.Height));
  for (std::size_t i = 0; i < src.size(); ++i) src[i] = static_cast<std::uint32_t>(i) * 2654435761u;
  constexpr std::uint32_t Padding = 0xDEADBEEF;
  std::vector<std::uint32_t> dst(dstStride * static_cast<std::size_t>(c.Width), Padding);

  QuarterTurn(src.data(), c.Width, c.Height, srcStride, dst.data(), dstStride, mirror);

  for (int Y = 0; Y < c.Width; ++Y) {
    for (int X = 0; X < c.Height; ++X) {
      const int x = Y, y = mirror ? X : c.Height - 1 - X;
      ASSERT_EQ(dst[static_cast<std::size_t>(Y) * dstStride + static_cast<std::size_t>(X)],
                src[static_cast<std::size_t>(y) * srcStride + static_cast<std::size_t>(x)])
          << "at " << X << "," << Y;
    }
    for (std::size_t X = static_cast<std::size_t>(c.Height); X < dstStride; ++X)
      ASSERT_EQ(dst[static_cast<std::size_t>(Y) * dstStride + X], Padding);
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, QuarterTurnTest, testing::Combine(testing::ValuesIn(TurnCases), testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).Name) +
                                  (std::get<1>(info.param) ? "Mirrored" : "Turned");
                         });

}  // namespace
