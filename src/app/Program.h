// The program's process-wide objects and its main block.
//
// TProgram makes the module objects in this order: the trace log, the event
// bus, the option tables, the application-global object with the camera
// controller, the empty configuration store. Start then checks the
// single-instance lock and makes the board module and the main window. The
// destructor frees everything in the reverse order: main window (hosted views,
// camera shutdown), board module, lock, then configuration store, camera
// controller, option tables, event bus, trace log.
#pragma once

#include <memory>
#include <string>

#include "notification/Dispatcher.h"

class TSingleInstanceLock;
class TSimulatedBoard;
class IPortDirectory;

struct TProgramOptions {
  // The configuration file, with the log beside it; empty: the program's own
  // (beside the executable when its folder is writable, else the user's).
  std::string ConfigurationFile;
  // The name of the single-instance lock.
  std::string LockName = "Sulo";
  // Whether the program brings its own simulated controller board and lists
  // only that board's port (the default on builds with the simulated camera;
  // see app/SimulatedBoard.h for Windows).
  bool SimulatedBoard = true;
  // How the simulated board answers the probe (0: acknowledges, 1: silent).
  bool SimulatedBoardSilent = false;
};

class TProgram {
 public:
  TProgram(IDispatcher& dispatcher, TProgramOptions options);
  ~TProgram();
  TProgram(const TProgram&) = delete;
  TProgram& operator=(const TProgram&) = delete;

  // The main block up to the message loop: the single-instance check, then the
  // board module and the main window (shown). False when another instance
  // runs: the refusal was shown and no window was made.
  bool Start();

 private:
  IDispatcher& FDispatcher;
  TProgramOptions FOptions;
  std::unique_ptr<TSingleInstanceLock> FLock;
  std::unique_ptr<TSimulatedBoard> FSimBoard;
};

// The configuration file of a run and the trace log beside it.
std::string LogFileName(const std::string& configurationFile);

// The whole program: application, dispatcher, objects, message loop.
int RunSulo(int argc, char** argv);
