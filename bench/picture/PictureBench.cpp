// What composing and saving a picture costs, each against a floor measured in
// the same run with the same bytes:
//  - Compose: the codec decoding into a reused buffer plus a plain
//    cache-blocked quarter turn into a reused bitmap.
//  - Encode: the codec encoding the same bitmap at the same quality into a
//    reused worst-case buffer.
// Floor and composer run alternately in each iteration, so that a busy
// machine slows both alike; `ratio` is composer / floor over all iterations,
// `ratio_best` the same for each one's fastest iteration. Compose is also set
// against the bare decode (`over_decode`, and `over_decode_median`, the median
// of each iteration's own ratio, which a neighbour's burst on the shared
// machine moves least), the floor with a free turn; `over_decode_cpu` is the
// same in processor time, for a machine so loaded that the wall clock mostly
// measures the waits for a core.
//
// Also counted: operator new calls per frame after the first, whether the
// composed bitmap kept its buffer, and the picture path's peak memory for a
// 6000 x 4000 picture (resident set high-water mark above the start, against
// one decoded 4-byte bitmap).
#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>
#include <string>
#include <vector>

#include "picture/PictureComposer.h"

namespace {

std::atomic<long long> NewCalls{0};

}  // namespace

void* operator new(std::size_t size) {
  NewCalls.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using TClock = std::chrono::steady_clock;

double Seconds(TClock::time_point from) { return std::chrono::duration<double>(TClock::now() - from).count(); }

// Processor time of the process (one thread here): what a neighbour's work on
// the shared machine does not add to, unlike the wall clock.
double CpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// A scene with what a camera's JPEG holds: smooth shading, edges and fine
// noise, coded 4:2:2 at high quality as camera bodies write it.
std::vector<std::uint8_t> CameraJpeg(int width, int height) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  std::uint32_t seed = 12345;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      seed = seed * 1664525u + 1013904223u;
      const int noise = static_cast<int>(seed >> 28) - 8;
      const int dx = x - width / 2, dy = y - height / 2;
      const bool face = static_cast<long long>(dx) * dx * 4 + static_cast<long long>(dy) * dy * 9 <
                        static_cast<long long>(height) * height;
      const int r = std::clamp((face ? 200 : 60) + x * 40 / width + noise, 0, 255);
      const int g = std::clamp((face ? 150 : 90) + y * 50 / height + noise, 0, 255);
      const int b = std::clamp((face ? 120 : 140) - (x + y) * 30 / (width + height) + noise, 0, 255);
      pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
          0xFF000000u | static_cast<std::uint32_t>(r << 16 | g << 8 | b);
    }
  tjhandle handle = tjInitCompress();
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  tjCompress2(handle, reinterpret_cast<const unsigned char*>(pixels.data()), width, width * 4, height, TJPF_BGRX,
              &buffer, &size, TJSAMP_422, 92, 0);
  tjDestroy(handle);
  std::vector<std::uint8_t> bytes(buffer, buffer + size);
  tjFree(buffer);
  return bytes;
}

// Markers drawn from larger artwork with soft edges, as the booth's are.
TPictureMarks Marks(int size, int offset) {
  TPictureMarks marks;
  for (QImage* image : {&marks.Left, &marks.Right}) {
    *image = QImage(528, 528, QImage::Format_ARGB32_Premultiplied);
    image->fill(Qt::transparent);
    QPainter painter(image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(image == &marks.Left ? QColor(230, 40, 40, 220) : QColor(40, 40, 230, 220));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QRectF(8, 8, 512, 512));
  }
  marks.Width = marks.Height = size;
  marks.Offset = offset;
  return marks;
}

// The floor's turn: clockwise, in 32 x 32 tiles, one pixel at a time.
void FloorTurn(const std::uint32_t* src, int width, int height, std::uint32_t* dst, std::size_t dstStride) {
  constexpr int Tile = 32;
  for (int y0 = 0; y0 < height; y0 += Tile)
    for (int x0 = 0; x0 < width; x0 += Tile)
      for (int y = y0; y < std::min(y0 + Tile, height); ++y) {
        const std::uint32_t* row = src + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        const std::size_t column = static_cast<std::size_t>(height - 1 - y);
        for (int x = x0; x < std::min(x0 + Tile, width); ++x)
          dst[static_cast<std::size_t>(x) * dstStride + column] = row[x];
      }
}

struct TTotals {
  double Sum = 0;
  double Best = 1e30;
  void Add(double seconds) {
    Sum += seconds;
    Best = std::min(Best, seconds);
  }
};

void Report(benchmark::State& state, const TTotals& ours, const TTotals& floor) {
  const double n = static_cast<double>(state.iterations());
  state.counters["ms"] = ours.Sum / n * 1e3;
  state.counters["floor_ms"] = floor.Sum / n * 1e3;
  state.counters["ratio"] = ours.Sum / floor.Sum;
  state.counters["ratio_best"] = ours.Best / floor.Best;
}

// Arguments: width, height of the camera's JPEG, and mirror.
void BM_Compose(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
  const bool mirror = state.range(2) != 0;
  const bool picture = width > 2000;
  const std::vector<std::uint8_t> jpeg = CameraJpeg(width, height);
  const TPictureMarks marks = picture ? Marks(264, 66) : Marks(66, 50);

  tjhandle handle = tjInitDecompress();
  std::vector<std::uint32_t> decoded(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  QImage turned(height, width, QImage::Format_RGB32);
  TPictureComposer composer;
  QImage out;
  composer.Compose(jpeg.data(), jpeg.size(), marks, mirror, out);  // the first frame sets the sizes up
  const uchar* pixels = out.constBits();
  bool reused = true;
  long long news = 0;
  TTotals ours, floor, decode, oursCpu, decodeCpu;
  std::vector<double> overDecode;
  overDecode.reserve(1 << 16);

  for (auto _ : state) {
    double cpu = CpuSeconds();
    auto start = TClock::now();
    tjDecompress2(handle, jpeg.data(), jpeg.size(), reinterpret_cast<unsigned char*>(decoded.data()), width,
                  width * 4, height, TJPF_BGRX, TJFLAG_STOPONWARNING);
    const double decodeSeconds = Seconds(start);
    decode.Add(decodeSeconds);
    decodeCpu.Add(CpuSeconds() - cpu);
    FloorTurn(decoded.data(), width, height, reinterpret_cast<std::uint32_t*>(turned.bits()),
              static_cast<std::size_t>(turned.bytesPerLine()) / 4);
    floor.Add(Seconds(start));
    benchmark::DoNotOptimize(turned.constBits());

    const long long before = NewCalls.load();
    cpu = CpuSeconds();
    start = TClock::now();
    if (!composer.Compose(jpeg.data(), jpeg.size(), marks, mirror, out)) state.SkipWithError("not composed");
    const double seconds = Seconds(start);
    oursCpu.Add(CpuSeconds() - cpu);
    ours.Add(seconds);
    news += NewCalls.load() - before;
    if (overDecode.size() < overDecode.capacity()) overDecode.push_back(seconds / decodeSeconds);
    reused = reused && out.constBits() == pixels;
    state.SetIterationTime(seconds);
  }
  tjDestroy(handle);
  Report(state, ours, floor);
  state.counters["floor_decode_ms"] = decode.Sum / static_cast<double>(state.iterations()) * 1e3;
  // Against the decode alone, as if turning were free.
  state.counters["over_decode"] = ours.Sum / decode.Sum;
  std::nth_element(overDecode.begin(), overDecode.begin() + overDecode.size() / 2, overDecode.end());
  state.counters["over_decode_median"] = overDecode.empty() ? 0 : overDecode[overDecode.size() / 2];
  state.counters["over_decode_cpu"] = decodeCpu.Sum > 0 ? oursCpu.Sum / decodeCpu.Sum : 0;
  state.counters["news_per_frame"] = static_cast<double>(news) / static_cast<double>(state.iterations());
  state.counters["out_reused"] = reused ? 1 : 0;
  state.counters["jpeg_kb"] = static_cast<double>(jpeg.size()) / 1024;
}
BENCHMARK(BM_Compose)
    ->ArgNames({"w", "h", "mirror"})
    ->Args({1024, 680, 0})
    ->Args({1024, 680, 1})
    ->Args({5184, 3456, 0})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_Encode(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
  const bool picture = width > 2000;
  const std::vector<std::uint8_t> jpeg = CameraJpeg(width, height);
  TPictureComposer composer;
  QImage image;
  composer.Compose(jpeg.data(), jpeg.size(), picture ? Marks(264, 66) : Marks(66, 50), false, image);

  const int quality = TPictureComposer::DefaultQuality;
  tjhandle handle = tjInitCompress();
  std::vector<unsigned char> floorBuffer(tjBufSize(image.width(), image.height(), TJSAMP_420));
  std::vector<std::uint8_t> out;
  composer.Encode(image, quality, out);
  TTotals ours, floor;
  long long news = 0;
  for (auto _ : state) {
    auto start = TClock::now();
    unsigned char* buffer = floorBuffer.data();
    unsigned long size = static_cast<unsigned long>(floorBuffer.size());
    tjCompress2(handle, image.constBits(), image.width(), static_cast<int>(image.bytesPerLine()), image.height(),
                TJPF_BGRX, &buffer, &size, TJSAMP_420, quality, TJFLAG_NOREALLOC);
    floor.Add(Seconds(start));

    const long long before = NewCalls.load();
    start = TClock::now();
    if (!composer.Encode(image, quality, out)) state.SkipWithError("not encoded");
    const double seconds = Seconds(start);
    ours.Add(seconds);
    news += NewCalls.load() - before;
    state.SetIterationTime(seconds);
  }
  tjDestroy(handle);
  Report(state, ours, floor);
  state.counters["news_per_call"] = static_cast<double>(news) / static_cast<double>(state.iterations());
  state.counters["jpeg_kb"] = static_cast<double>(out.size()) / 1024;
}
BENCHMARK(BM_Encode)
    ->ArgNames({"w", "h"})
    ->Args({1024, 680})
    ->Args({5184, 3456})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Resident set size and its high-water mark, in bytes, from /proc.
long long StatusBytes(const char* key) {
  FILE* file = std::fopen("/proc/self/status", "r");
  if (!file) return -1;
  char line[256];
  long long kb = -1;
  const std::size_t length = std::strlen(key);
  while (std::fgets(line, sizeof line, file))
    if (std::strncmp(line, key, length) == 0) kb = std::atoll(line + length);
  std::fclose(file);
  return kb < 0 ? -1 : kb * 1024;
}

bool ResetPeak() {
  FILE* file = std::fopen("/proc/self/clear_refs", "w");
  if (!file) return false;
  const bool written = std::fputs("5", file) >= 0;
  return std::fclose(file) == 0 && written;
}

// One 6000 x 4000 picture through the whole path: the camera's bytes
// composed into the shown bitmap, then encoded for saving.
void BM_PictureMemory(benchmark::State& state) {
  const int width = 6000, height = 4000;
  const double bitmap = static_cast<double>(width) * height * 4;
  const std::vector<std::uint8_t> jpeg = CameraJpeg(width, height);
  const TPictureMarks marks = Marks(264, 66);
  for (auto _ : state) {
    TPictureComposer composer;
    QImage shown;
    std::vector<std::uint8_t> saved;
    const long long start = StatusBytes("VmRSS:");
    const bool reset = ResetPeak();
    if (!composer.Compose(jpeg.data(), jpeg.size(), marks, false, shown)) state.SkipWithError("not composed");
    const double heldAfterCompose = static_cast<double>(composer.HeldBytes());
    if (!composer.Encode(shown, TPictureComposer::DefaultQuality, saved)) state.SkipWithError("not encoded");
    const long long peak = StatusBytes("VmHWM:");
    state.counters["peak_over_bitmap"] = reset && start > 0 && peak > 0 ? (peak - start) / bitmap : -1;
    state.counters["held_after_compose_over_bitmap"] = heldAfterCompose / bitmap;
    state.counters["held_after_encode_over_bitmap"] = static_cast<double>(composer.HeldBytes()) / bitmap;
    state.counters["saved_over_bitmap"] = static_cast<double>(saved.capacity()) / bitmap;
    state.counters["jpeg_in_over_bitmap"] = static_cast<double>(jpeg.size()) / bitmap;
  }
}
// First, before the other benchmarks have grown the heap.
BENCHMARK(BM_PictureMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
