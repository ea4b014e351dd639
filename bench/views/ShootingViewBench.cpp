// What the live view costs on the UI thread.
//  - Painting the turned 680 x 1024 frame into the photo pane's 543 x 644 box,
//    as the pane paints it (fitted, proportions kept, smooth), against a floor
//    of copying a box-sized bitmap of the same format in the same run.
//  - The shooting view showing the simulated camera's live view for 10 s: the
//    frames delivered against the camera worker's ceiling measured in the same
//    run (the same controller with a handler that only counts), and the UI
//    thread's processor time over those 10 s.
#include <benchmark/benchmark.h>
#include <time.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <chrono>
#include <cstring>

#include "camera/Canon.h"
#include "configuration/Configuration.h"
#include "configuration/DeviceProperties.h"
#include "notification/Dispatcher.h"
#include "notification/NotificationCenter.h"
#include "simulator/camera/SimCamera.h"
#include "views/shooting/FrameSulo.h"
#include "views/widgets/StdCtrls.h"

namespace {

QImage Frame() {
  QImage frame(680, 1024, QImage::Format_RGB32);
  for (int y = 0; y < frame.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(frame.scanLine(y));
    for (int x = 0; x < frame.width(); ++x) row[x] = qRgb(x * 255 / 680, y * 255 / 1024, (x ^ y) & 0xFF);
  }
  return frame;
}

// The pane's paint into an off-screen target of its own size, against a copy
// of that many pixels.
void BM_PaintLiveFrame(benchmark::State& state) {
  TImage image;
  image.SetBounds(0, 0, 543, 644);
  image.Bitmap().SetImage(Frame());
  QImage target(543, 644, QImage::Format_RGB32);
  QImage source(543, 644, QImage::Format_RGB32);
  source.fill(Qt::gray);
  double paint = 0, floor = 0;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    image.render(&target);
    auto t1 = std::chrono::steady_clock::now();
    std::memcpy(target.bits(), source.constBits(), static_cast<std::size_t>(source.sizeInBytes()));
    benchmark::DoNotOptimize(target.constBits());
    auto t2 = std::chrono::steady_clock::now();
    paint += std::chrono::duration<double, std::milli>(t1 - t0).count();
    floor += std::chrono::duration<double, std::milli>(t2 - t1).count();
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["paint_ms"] = paint / n;
  state.counters["copy_ms"] = floor / n;
  state.counters["ratio"] = paint / floor;
}
BENCHMARK(BM_PaintLiveFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

double ThreadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// Frames per second delivered while `serve` runs the UI thread for `seconds`.
template <class F>
double DeliveredFps(double seconds, F&& serve) {
  const std::uint64_t first = SimCamera::FramesServed();
  const auto start = std::chrono::steady_clock::now();
  const auto end = start + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end) serve();
  const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return static_cast<double>(SimCamera::FramesServed() - first) / took;
}

void BM_LiveViewInTheShootingView(benchmark::State& state) {
  SimCamera::Reset();
  TManualDispatcher dispatcher;
  TNotificationCenter center;
  TNotificationCenter::FInstance = &center;
  TDeviceProperties tables;
  TDeviceProperties::FInstance = &tables;
  TConfiguration configuration("/tmp/sulo-bench-views.configuration");
  configuration.Load();
  TConfiguration::FInstance = &configuration;
  double ceiling = 0, shown = 0, cpu = 0;
  for (auto _ : state) {
    TGlobal global(dispatcher);
    TGlobal::FInstance = &global;
    TCanon& canon = global.Canon();
    canon.Initialize();
    canon.Open();
    auto pump = [&] {
      dispatcher.WaitAndProcess(5);
      QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    };
    // The ceiling: frames that only get counted.
    canon.SetOnLiveView([](TCanon*, TMemoryStream& stream) { benchmark::DoNotOptimize(stream.Memory()); });
    canon.StartLiveView();
    DeliveredFps(1.0, pump);  // past the start
    ceiling = DeliveredFps(10.0, pump);
    canon.SetOnLiveView(nullptr);
    canon.StopLiveView();
    DeliveredFps(0.5, pump);

    {
      TControl window;
      window.SetSize(1086, 644);
      auto* view = new TFrameSulo(&window);
      view->SetAlign(TAlignLayout::Client);
      window.show();
      view->SubMenuChanged(TTakePictureMode::Sulo);
      DeliveredFps(1.0, pump);
      const double before = ThreadCpuSeconds();
      shown = DeliveredFps(10.0, pump);
      cpu = (ThreadCpuSeconds() - before) / 10.0;
    }
    canon.SetShutdownGrace(std::chrono::milliseconds(200));
    canon.Close();
    canon.Finalize();
    dispatcher.ProcessPending();
    TGlobal::FInstance = nullptr;
  }
  state.counters["ceiling_fps"] = ceiling;
  state.counters["shown_fps"] = shown;
  state.counters["shown_of_ceiling"] = ceiling > 0 ? shown / ceiling : 0;
  state.counters["ui_cpu_of_core"] = cpu;
  TConfiguration::FInstance = nullptr;
  TDeviceProperties::FInstance = nullptr;
  TNotificationCenter::FInstance = nullptr;
}
BENCHMARK(BM_LiveViewInTheShootingView)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
