// Another process for a test: usually the test program itself, started again
// with arguments that make its main() play a part (see SingleInstanceTest).
#pragma once

#include <string>
#include <vector>

// The running program's own arguments, argv[0] included, as UTF-8 (on
// Windows argv holds them in the local code page, which loses letters).
std::vector<std::string> Utf8Arguments(int argc, char** argv);

class TChildProcess {
 public:
  // Starts `program` with `arguments` (UTF-8). Started() tells whether it ran.
  TChildProcess(const std::string& program, const std::vector<std::string>& arguments);
  // Kills the child if it still runs.
  ~TChildProcess();
  TChildProcess(const TChildProcess&) = delete;
  TChildProcess& operator=(const TChildProcess&) = delete;

  bool Started() const;
  // Waits for the child to end; its exit code, or -1 when it was killed or
  // never started.
  int Wait();
  // Ends the child at once, as a crash would.
  void Kill();

 private:
  long long FProcess = -1;  // pid, or the process handle on Windows
  bool FDone = false;
  bool FKilled = false;
  int FExitCode = -1;
};
