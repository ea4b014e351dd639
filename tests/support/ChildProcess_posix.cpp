#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/ChildProcess.h"

std::vector<std::string> Utf8Arguments(int argc, char** argv) { return {argv, argv + argc}; }

TChildProcess::TChildProcess(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<std::string> words{program};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  FProcess = pid;
}

TChildProcess::~TChildProcess() {
  if (Started() && !FDone) {
    Kill();
    Wait();
  }
}

bool TChildProcess::Started() const { return FProcess > 0; }

int TChildProcess::Wait() {
  if (!Started() || FDone) return FExitCode;
  int status = 0;
  if (::waitpid(pid_t(FProcess), &status, 0) == pid_t(FProcess) && WIFEXITED(status)) FExitCode = WEXITSTATUS(status);
  FDone = true;
  return FExitCode;
}

void TChildProcess::Kill() {
  if (Started() && !FDone) ::kill(pid_t(FProcess), SIGKILL);
}
