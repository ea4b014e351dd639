// The soak: a long repeat series through the whole booth, as an operator
// would run it, watching for leaks, lost or doubled pictures and hangs.
//
// The program is started as Sulo starts it (TProgram: configuration, splash,
// board scan on the simulated board, camera session on the simulated camera),
// with its configuration and save folder in a fresh temporary folder. The
// driver then does what the operator does: START on the save-location view,
// the mode button, the settings button, the access code, the settings
// window's repeat test answered with the count, and closes the settings
// window. While the series runs it counts the saves the tab menu is told of
// and samples the resident memory every 50 saved shots. At the end it checks
// the folder and closes the program through its close button.
//
//   sulo_soak [--shots N] [--mode sulo|portrait|uv] [--sample-every K]
//             [--no-memory-rule] [--stall-seconds S] [--keep-pictures]
//
// Passes (exit 0) when the series ends by itself after N saves with no error
// shown, the folder holds exactly N pictures under distinct names, each
// decoding to the camera's picture size turned by a quarter, and the memory
// rule holds (see JudgeMemory). Exit 1 on failure, 2 on bad arguments.
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "WidgetTestUtil.h"
#include "app/ErrorReport.h"
#include "app/MainForm.h"
#include "app/Program.h"
#include "app/QtDispatcher.h"
#include "camera/Canon.h"
#include "configuration/Configuration.h"
#include "notification/NotificationCenter.h"
#include "simulator/camera/SimCamera.h"
#include "views/common/Dialogs.h"
#include "views/start/FrameSaveLocation.h"
#include "views/shooting/FrameSulo.h"
#include "views/menu/FrameTabMenu.h"
#include "views/menu/FrameTabSub.h"
#include "views/settings/SettingForm.h"
#include "picture/ViewerPicture.h"
#include "views/widgets/SanitizerDefaults.h"

#if defined(__SANITIZE_ADDRESS__)
#define SULO_SOAK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SULO_SOAK_ASAN 1
#endif
#endif

namespace fs = std::filesystem;

namespace {

struct TSoakOptions {
  int Shots = 1000;
  TTakePictureMode Mode = TTakePictureMode::Sulo;
  int SampleEvery = 50;
  bool MemoryRule = true;
  int StallSeconds = 120;
  bool KeepPictures = false;
};

std::optional<TSoakOptions> ParseArguments(int argc, char** argv) {
  TSoakOptions o;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool hasValue = i + 1 < argc;
    auto number = [&](int& into, int least) {
      if (!hasValue) return false;
      try {
        std::size_t used = 0;
        into = std::stoi(argv[++i], &used);
        return used == std::string(argv[i]).size() && into >= least;
      } catch (const std::exception&) {
        return false;
      }
    };
    if (a == "--shots") {
      if (!number(o.Shots, 1)) return std::nullopt;
    } else if (a == "--sample-every") {
      if (!number(o.SampleEvery, 1)) return std::nullopt;
    } else if (a == "--stall-seconds") {
      if (!number(o.StallSeconds, 1)) return std::nullopt;
    } else if (a == "--mode" && hasValue) {
      const std::string m = argv[++i];
      if (m == "sulo")
        o.Mode = TTakePictureMode::Sulo;
      else if (m == "portrait")
        o.Mode = TTakePictureMode::Portrait;
      else if (m == "uv")
        o.Mode = TTakePictureMode::UV;
      else
        return std::nullopt;
    } else if (a == "--no-memory-rule") {
      o.MemoryRule = false;
    } else if (a == "--keep-pictures") {
      o.KeepPictures = true;
    } else {
      return std::nullopt;
    }
  }
  return o;
}

// Resident memory of this process, in bytes (the second field of statm,
// counted in pages).
std::int64_t ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  long long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * static_cast<std::int64_t>(sysconf(_SC_PAGESIZE));
}

double Megabytes(std::int64_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

// The operator's answers: the repeat test's count; every message and error
// the program shows is kept, since a clean run shows none.
class TSoakDialogs : public IDialogs {
 public:
  explicit TSoakDialogs(int repeat) : FRepeat(repeat) { TDialogs::FInstance = this; }
  ~TSoakDialogs() override { TDialogs::FInstance = nullptr; }
  std::vector<std::string> Shown;

  std::optional<std::string> SelectDirectory(const std::string& caption, const std::string&) override {
    Shown.push_back("folder chooser: " + caption);
    return std::nullopt;
  }
  std::optional<std::string> OpenFile(const std::string& caption, const std::string&, const std::string&) override {
    Shown.push_back("file chooser: " + caption);
    return std::nullopt;
  }
  void ShowMessage(const std::string& text) override { Shown.push_back("message: " + text); }
  void ShowError(const std::string& caption, const std::string& text) override {
    Shown.push_back("error (" + caption + "): " + text);
  }
  std::optional<std::string> InputQuery(const std::string& caption, const std::string& prompt, bool) override {
    if (caption == "Repeat Test" && prompt == "Repeat") return std::to_string(FRepeat);
    Shown.push_back("input box: " + caption);
    return std::nullopt;
  }

 private:
  int FRepeat;
};

struct TSample {
  int Shots;
  double Seconds;
  std::int64_t Resident;
};

// Hears the save popup's calls as the tab menu does (it joins the bus after
// the menu, so it hears each call once the menu has acted on it): counts the
// saves of the series, samples memory every `every` saves and notes when the
// screen was enabled again, which ends the series.
class TSaveWatch : public ISavePopup {
 public:
  explicit TSaveWatch(int every) : FEvery(every) { TNotificationCenter::FInstance->Add<ISavePopup>(this); }
  ~TSaveWatch() override {
    if (TNotificationCenter::FInstance) TNotificationCenter::FInstance->Remove<ISavePopup>(this);
  }

  void Begin() {
    FClock.start();
    Saves = 0;
    ScreenEnabled = false;
    Sample();
  }
  double Seconds() const { return FClock.isValid() ? FClock.nsecsElapsed() / 1e9 : 0.0; }

  void SetDisableBG() override {}
  void OpenSavePopup() override { PopupOpened = true; }
  void SaveSuccess() override {
    ++Saves;
    LastSave = Seconds();
    if (Saves % FEvery == 0) Sample();
  }
  void SetEnableScreen() override { ScreenEnabled = true; }

  int Saves = 0;
  double LastSave = 0;
  bool ScreenEnabled = false;
  bool PopupOpened = false;
  std::vector<TSample> Samples;

 private:
  void Sample() {
    // The simulated camera logs every SDK call for tests, up to 100000 of
    // them (about half an hour of live view, some 13 MB): that is the
    // simulator's memory, not the booth's, and would read as a leak. The log
    // is emptied at every sample so that what is measured is the program.
    SimCamera::ClearCalls();
    Samples.push_back({Saves, LastSave, ResidentBytes()});
  }

  int FEvery;
  QElapsedTimer FClock;
};

// The memory rule. The first 100 shots are left out: they fill the caches,
// pools and buffers a long run keeps (image buffers, the JPEG codec's tables,
// the allocator's arenas). From there on, the least-squares line through the
// samples (resident bytes against shots) may rise by at most 1 MB per 100
// shots. A line needs at least three samples past the first 100 shots, so
// shorter runs print their curve but are not judged.
struct TMemoryVerdict {
  bool Judged = false;
  double SlopeMbPer100 = 0;
  double GrowthMb = 0;  // last sample against the one at 100 shots
  bool Pass = true;
};

constexpr int WarmUpShots = 100;
constexpr double AllowedMbPer100Shots = 1.0;

TMemoryVerdict JudgeMemory(const std::vector<TSample>& samples) {
  TMemoryVerdict v;
  std::vector<const TSample*> used;
  for (const TSample& s : samples)
    if (s.Shots >= WarmUpShots) used.push_back(&s);
  if (used.size() < 3) return v;
  double sx = 0, sy = 0;
  for (const TSample* s : used) {
    sx += s->Shots;
    sy += Megabytes(s->Resident);
  }
  const double n = static_cast<double>(used.size());
  const double mx = sx / n, my = sy / n;
  double sxy = 0, sxx = 0;
  for (const TSample* s : used) {
    sxy += (s->Shots - mx) * (Megabytes(s->Resident) - my);
    sxx += (s->Shots - mx) * (s->Shots - mx);
  }
  v.Judged = true;
  v.SlopeMbPer100 = sxy / sxx * 100.0;
  v.GrowthMb = Megabytes(used.back()->Resident - used.front()->Resident);
  v.Pass = v.SlopeMbPer100 <= AllowedMbPer100Shots;
  return v;
}

// What the save folder holds after the series.
struct TFolderCheck {
  int Pictures = 0;
  std::vector<std::string> Problems;
};

TFolderCheck CheckFolder(const fs::path& folder, QSize expected) {
  TFolderCheck c;
  // The names the saving code gives: the time stamp, with "-2", "-3" ... when
  // the second was taken already.
  const QRegularExpression name(R"(^\d{14}(-\d+)?\.jpg$)");
  std::set<std::string> names;
  std::error_code ec;
  for (const fs::directory_entry& e : fs::directory_iterator(folder, ec)) {
    const std::string file = e.path().filename().string();
    if (!e.is_regular_file() || !name.match(QString::fromStdString(file)).hasMatch()) {
      c.Problems.push_back("unexpected entry " + file);
      continue;
    }
    if (!names.insert(file).second) c.Problems.push_back("name listed twice: " + file);
    ++c.Pictures;
    try {
      const auto picture = TViewerPicture::Open(QString::fromStdString(e.path().string()));
      if (picture->Size() != expected) {
        c.Problems.push_back(file + " is " + std::to_string(picture->Size().width()) + " x " +
                             std::to_string(picture->Size().height()));
      }
      // The smallest level still reads the whole stream: a cut-off file fails here.
      if (picture->Decode(0).isNull()) c.Problems.push_back(file + " does not decode");
    } catch (const EPictureLoad& error) {
      c.Problems.push_back(file + ": " + error.what());
    }
  }
  if (ec) c.Problems.push_back("the folder cannot be read: " + ec.message());
  return c;
}

// Runs the event loop as the program's own loop does, sleeping while nothing
// happens, until `done` holds (true) or `ms` pass (false). `each` runs at
// every check, every 20 ms.
bool RunUntil(const std::function<bool()>& done, int ms, const std::function<void()>& each = {}) {
  if (done()) return true;
  QElapsedTimer clock;
  clock.start();
  QEventLoop loop;
  QTimer poll;
  bool met = false;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (each) each();
    met = done();
    if (met || clock.elapsed() > ms) loop.quit();
  });
  poll.start(20);
  loop.exec();
  return met;
}

// A click where the operator would click: through the window system at the
// control's centre, so whatever lies on top there takes it.
void OperatorClick(TControl* control) {
  ClickAt(control->window(), WindowPoint(control, QPointF(control->Width() / 2, control->Height() / 2)));
}

const char* ModeArgument(TTakePictureMode mode) {
  switch (mode) {
    case TTakePictureMode::Portrait:
      return "portrait";
    case TTakePictureMode::UV:
      return "uv";
    default:
      return "sulo";
  }
}

class TSoak {
 public:
  explicit TSoak(TSoakOptions options) : FOptions(options), FDialogs(options.Shots) {}

  // Runs the whole soak; the figures go to stdout, failures to stderr.
  bool Run();

 private:
  bool Fail(const std::string& why) {
    std::fprintf(stderr, "soak: %s\n", why.c_str());
    for (const std::string& s : FDialogs.Shown) std::fprintf(stderr, "soak: shown: %s\n", s.c_str());
    return false;
  }
  bool StartProgram();
  bool OpenShootingScreen();
  bool StartSeries();
  bool WaitForSeries();
  bool Report();

  TSoakOptions FOptions;
  TSoakDialogs FDialogs;
  fs::path FTemp;
  fs::path FPictures;
  QSize FPictureSize{5184, 3456};
  TQtDispatcher FDispatcher;
  std::unique_ptr<TProgram> FProgram;
  std::unique_ptr<TSaveWatch> FWatch;
  TFrameTabMenu* FMenu = nullptr;
  TFrameTabSub* FSub = nullptr;
  TFrameSulo* FShooting = nullptr;
};

bool TSoak::StartProgram() {
  std::string pattern = (fs::temp_directory_path() / "sulo-soak-XXXXXX").string();
  if (!mkdtemp(pattern.data())) return Fail("no temporary folder");
  FTemp = pattern;
  // Not made beforehand: the first save makes it, as on a fresh machine.
  FPictures = FTemp / "pictures";

  // The shipped settings are the starting point, as beside a fresh install.
  fs::copy_file(SULO_DEFAULT_CONFIGURATION, FTemp / "sulo.configuration");

  // The simulated devices at their quickest: the transfer event follows the
  // shutter at once and the picture comes in one piece.
  SimCamera::Reset();
  SimCamera::SetShutterDelay(0);
  SimCamera::SetDownloadChunkDelay(0);
  SimCamera::SetNotReadyFrames(0);

  TProgramOptions options;
  options.ConfigurationFile = (FTemp / "sulo.configuration").string();
  options.LockName = "sulo-soak-" + std::to_string(getpid());
  FProgram = std::make_unique<TProgram>(FDispatcher, options);
  if (!FProgram->Start() || !MainForm) return Fail("the program did not start");

  const bool ready = RunUntil(
      [] {
        auto* view = MainForm ? qobject_cast<TFrameSaveLocation*>(MainForm->CurrentView("LayoutContent")) : nullptr;
        return view && view->TavImageButtonStartSulo->isEnabled() && TGlobal::FInstance->Canon().Initialized() &&
               SimCamera::SessionOpen();
      },
      60000);
  if (!ready) return Fail("the board scan or the camera session did not come up");

  // The save folder and the quickest legal sequence, written to the file as
  // the settings window's Save would (the settings window reloads the file).
  TConfiguration& configuration = *TConfiguration::FInstance;
  configuration.General().SaveLocation = FPictures.string();
  if (TTakePictureConfiguration* sulo = configuration.GetTakePictureConfiguraion(TTakePictureMode::Sulo)) {
    sulo->MotorLocation = 20;  // 0.20 s up
    sulo->ShutterDelay = 50;   // 0.50 s after the stop, within the 1 s return
  }
  if (TTakePictureConfiguration* portrait = configuration.GetTakePictureConfiguraion(TTakePictureMode::Portrait))
    portrait->ShutterDelay = 0;
  configuration.Save();
  return true;
}

bool TSoak::OpenShootingScreen() {
  auto* save = qobject_cast<TFrameSaveLocation*>(MainForm->CurrentView("LayoutContent"));
  OperatorClick(save->TavImageButtonStartSulo);
  FMenu = qobject_cast<TFrameTabMenu*>(MainForm->CurrentView("LayoutContent"));
  if (!FMenu) return Fail("START did not open the working screen");
  FSub = FMenu->findChild<TFrameTabSub*>();
  FShooting = FMenu->findChild<TFrameSulo*>();
  if (!FSub || !FShooting) return Fail("the working screen has no shooting view");
  if (!RunUntil([&] { return !FShooting->ImageLiveView->Bitmap().IsEmpty(); }, 60000))
    return Fail("no live view on the shooting view");

  TTavImageButton* modeButton = FOptions.Mode == TTakePictureMode::Portrait ? FSub->TavImageButtonPortrait
                                : FOptions.Mode == TTakePictureMode::UV     ? FSub->TavImageButtonUV
                                                                            : FSub->TavImageButtonSulo;
  OperatorClick(modeButton);
  if (!RunUntil([&] { return FShooting->FMode == FOptions.Mode; }, 5000)) return Fail("the mode button did not switch");
  return true;
}

bool TSoak::StartSeries() {
  OperatorClick(FSub->TavImageButtonSetting);
  if (!RunUntil([&] { return FMenu->LayoutSettingPasswordPopup->isVisible(); }, 5000))
    return Fail("the settings button did not ask for the access code");
  QTest::keyClicks(FMenu->EditPassword->Editor(), TFrameTabMenu::SettingPassword);
  QTest::mouseClick(FMenu->ButtonConfirm->Button(), Qt::LeftButton);
  TSettingForm* form = nullptr;
  if (!RunUntil(
          [&] {
            form = FMenu->findChild<TSettingForm*>();
            return form && form->isVisible();
          },
          5000))
    return Fail("the access code did not open the settings window");
  if (!QTest::qWaitForWindowExposed(form, 5000))
    return Fail("the settings window was never shown");

  FWatch = std::make_unique<TSaveWatch>(FOptions.SampleEvery);
  FWatch->Begin();
  // The repeat test; its input box answers with the count.
  QTest::mouseClick(form->Button1->Button(), Qt::LeftButton);
  if (FShooting->ShootRepeatCount <= 0 && FWatch->Saves == 0) return Fail("the repeat test did not start a series");
  // The operator closes the settings window and watches the series.
  OperatorClick(form->TavImageButtonClose);
  return true;
}

bool TSoak::WaitForSeries() {
  std::printf("%8s %10s %10s\n", "shots", "RSS MB", "seconds");
  std::size_t printed = 0;
  auto printSamples = [&] {
    for (; printed < FWatch->Samples.size(); ++printed) {
      const TSample& s = FWatch->Samples[printed];
      std::printf("%8d %10.1f %10.1f\n", s.Shots, Megabytes(s.Resident), s.Seconds);
      std::fflush(stdout);
    }
  };
  // Ends when the screen is enabled again (the series' end, or a shot given
  // up) and the view is idle, or when no save has come for too long.
  bool stalled = false;
  RunUntil(
      [&] {
        stalled = FWatch->Seconds() - FWatch->LastSave > FOptions.StallSeconds;
        return stalled || (FWatch->ScreenEnabled && FShooting->FShotState == TFrameSulo::TShotState::Idle);
      },
      std::numeric_limits<int>::max(), printSamples);
  printSamples();
  if (stalled)
    return Fail("stalled: no picture saved for " + std::to_string(FOptions.StallSeconds) + " s after " +
                std::to_string(FWatch->Saves) + " saves");
  return true;
}

bool TSoak::Report() {
  bool ok = true;
  const int saves = FWatch->Saves;
  const double seconds = FWatch->LastSave;
  std::printf("%d shots in %.1f s: %.1f shots per minute\n", saves, seconds, seconds > 0 ? saves * 60.0 / seconds : 0.0);
  if (saves != FOptions.Shots) ok = Fail("the series ended after " + std::to_string(saves) + " of " +
                                          std::to_string(FOptions.Shots) + " saves");
  // The one notice a whole series may leave is its summary: the count saved.
  const std::string summary = "사진 " + std::to_string(FOptions.Shots) + "장을 저장했습니다.";
  const std::string notice = FShooting->LabelNotice->Text().toStdString();
  if (!FShooting->RectangleNotice->isHidden() && notice.rfind(summary, 0) != 0)
    ok = Fail("the shooting view says: " + notice);
  if (FWatch->PopupOpened) ok = Fail("the save popup opened during the series");
  if (!FDialogs.Shown.empty()) ok = Fail("the program showed something during the series");

  const TMemoryVerdict memory = JudgeMemory(FWatch->Samples);
  if (!memory.Judged) {
    std::printf("memory: not judged (fewer than three samples after %d shots)\n", WarmUpShots);
  } else {
    std::printf("memory after %d shots: %+.2f MB per 100 shots by a least-squares fit (allowed %.2f), %+.1f MB from %d to %d shots\n",
                WarmUpShots, memory.SlopeMbPer100, AllowedMbPer100Shots, memory.GrowthMb, WarmUpShots,
                FWatch->Samples.back().Shots);
#ifdef SULO_SOAK_ASAN
    // AddressSanitizer holds freed memory back in its quarantine and keeps
    // shadow memory: resident memory grows by design. Leaks are its own
    // report at exit.
    std::printf("memory: not enforced under AddressSanitizer (its quarantine grows resident memory)\n");
#else
    if (FOptions.MemoryRule && !memory.Pass) ok = Fail("resident memory grows after the first 100 shots");
#endif
  }

  const QSize turned(FPictureSize.height(), FPictureSize.width());
  const TFolderCheck folder = CheckFolder(FPictures, turned);
  std::printf("folder: %d pictures, %zu problems (expected %d pictures of %d x %d)\n", folder.Pictures,
              folder.Problems.size(), FOptions.Shots, turned.width(), turned.height());
  for (std::size_t i = 0; i < folder.Problems.size() && i < 20; ++i)
    std::fprintf(stderr, "soak: %s\n", folder.Problems[i].c_str());
  if (folder.Pictures != FOptions.Shots || !folder.Problems.empty()) ok = Fail("the save folder is not as expected");
  return ok;
}

bool TSoak::Run() {
  std::printf("Sulo soak: %d shots in %s mode, pictures %d x %d, platform %s\n", FOptions.Shots,
              ModeArgument(FOptions.Mode), FPictureSize.width(), FPictureSize.height(),
              QGuiApplication::platformName().toStdString().c_str());
  std::fflush(stdout);
  bool ok = StartProgram() && OpenShootingScreen() && StartSeries() && WaitForSeries();
  if (ok) ok = Report();

  // Closing through the close button: views, lights, rig, port, camera.
  if (MainForm) {
    OperatorClick(MainForm->TavImageButtonClose);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  FWatch.reset();
  QElapsedTimer shutdown;
  shutdown.start();
  FProgram.reset();
  std::printf("shutdown: %.1f s\n", shutdown.nsecsElapsed() / 1e9);
  SimCamera::Reset();

  std::error_code ec;
  if (FOptions.KeepPictures)
    std::printf("pictures kept in %s\n", FPictures.string().c_str());
  else if (!FTemp.empty())
    fs::remove_all(FTemp, ec);
  std::printf("%s\n", ok ? "PASS" : "FAIL");
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<TSoakOptions> options = ParseArguments(argc, argv);
  if (!options) {
    std::fprintf(stderr,
                 "usage: %s [--shots N] [--mode sulo|portrait|uv] [--sample-every K] [--no-memory-rule] "
                 "[--stall-seconds S] [--keep-pictures]\n",
                 argv[0]);
    return 2;
  }
  // Without a display the screens are drawn off screen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  TApplication application(argc, argv);
  TSoak soak(*options);
  return soak.Run() ? 0 : 1;
}
