// What the simulated camera costs per frame and per picture, and how many
// live-view frames per second reach the frame handler through the controller
// (the worker's 50 ms pass bounds it near 20).
#include <benchmark/benchmark.h>

#include <chrono>

#include "camera/Canon.h"
#include "simulator/camera/SimCamera.h"

namespace {

// One frame as the SDK user gets it: stream, image reference, download, release.
void BM_SimFrameDownload(benchmark::State& state) {
  SimCamera::Reset();
  SimCamera::SetNotReadyFrames(0);
  EdsInitializeSDK();
  EdsCameraListRef list = nullptr;
  EdsCameraRef camera = nullptr;
  EdsGetCameraList(&list);
  EdsGetChildAtIndex(list, 0, &camera);
  EdsRelease(list);
  EdsOpenSession(camera);
  EdsUInt32 output = kEdsEvfOutputDevice_PC;
  EdsSetPropertyData(camera, kEdsPropID_Evf_OutputDevice, 0, 4, &output);
  std::size_t bytes = 0;
  for (auto _ : state) {
    EdsStreamRef stream = nullptr;
    EdsEvfImageRef image = nullptr;
    EdsCreateMemoryStream(0, &stream);
    EdsCreateEvfImageRef(stream, &image);
    if (EdsDownloadEvfImage(camera, image) != EDS_ERR_OK) state.SkipWithError("frame failed");
    EdsUInt64 length = 0;
    EdsGetLength(stream, &length);
    bytes = static_cast<std::size_t>(length);
    EdsRelease(image);
    EdsRelease(stream);
  }
  state.counters["frame_bytes"] = static_cast<double>(bytes);
  EdsRelease(camera);
  EdsTerminateSDK();
  SimCamera::ClearCalls();
}
BENCHMARK(BM_SimFrameDownload)->Unit(benchmark::kMillisecond);

// A frame after the lens moved: the scene is drawn again before encoding.
void BM_SimFrameNewScene(benchmark::State& state) {
  SimCamera::Reset();
  int i = 0;
  for (auto _ : state) {
    state.PauseTiming();
    SimCamera::SetFrameSize(1024, 680 - (i++ % 2));  // defeats the scene cache
    state.ResumeTiming();
    benchmark::DoNotOptimize(SimCamera::RenderFrame());
  }
}
BENCHMARK(BM_SimFrameNewScene)->Unit(benchmark::kMillisecond);

// The first 5184 x 3456 picture at a size: drawn and encoded.
void BM_SimPictureFirst(benchmark::State& state) {
  SimCamera::Reset();
  int i = 0;
  std::size_t bytes = 0;
  for (auto _ : state) {
    SimCamera::SetPictureSize(5184, 3456 - ++i);
    bytes = SimCamera::RenderPicture().size();
  }
  state.counters["picture_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_SimPictureFirst)->Unit(benchmark::kMillisecond)->Iterations(3);

// Every later picture: served from the cache.
void BM_SimPictureCached(benchmark::State& state) {
  SimCamera::Reset();
  SimCamera::RenderPicture();
  for (auto _ : state) benchmark::DoNotOptimize(SimCamera::RenderPicture());
}
BENCHMARK(BM_SimPictureCached)->Unit(benchmark::kMillisecond);

// Frames per second reaching OnLiveView through TCanon; the benchmark thread
// plays the UI thread.
void BM_LiveViewThroughCanon(benchmark::State& state) {
  SimCamera::Reset();
  TManualDispatcher dispatcher;
  double fps = 0;
  for (auto _ : state) {
    TCanon canon(dispatcher);
    std::size_t frames = 0;
    canon.SetOnLiveView([&](TCanon*, TMemoryStream& stream) {
      benchmark::DoNotOptimize(stream.Memory());
      ++frames;
    });
    canon.Initialize();
    canon.Open();
    canon.StartLiveView();
    while (frames < 5) dispatcher.WaitAndProcess(5);  // past the not-ready start
    const std::size_t first = frames;
    const auto start = std::chrono::steady_clock::now();
    const auto end = start + std::chrono::seconds(3);
    while (std::chrono::steady_clock::now() < end) dispatcher.WaitAndProcess(5);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    fps = static_cast<double>(frames - first) / seconds;
    canon.SetOnLiveView(nullptr);
    canon.StopLiveView();
    canon.Close();
    canon.Finalize();
  }
  state.counters["fps"] = fps;
  SimCamera::ClearCalls();
}
BENCHMARK(BM_LiveViewThroughCanon)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
