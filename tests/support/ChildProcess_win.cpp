#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

#include "platform/WideText.h"
#include "support/ChildProcess.h"

namespace {

// One argument quoted the way the C runtime splits a command line again.
std::wstring Quoted(const std::wstring& word) {
  std::wstring out = L"\"";
  std::size_t slashes = 0;
  for (wchar_t c : word) {
    if (c == L'\\') {
      ++slashes;
      continue;
    }
    out.append(c == L'"' ? slashes * 2 + 1 : slashes, L'\\');
    slashes = 0;
    out += c;
  }
  out.append(slashes * 2, L'\\');
  return out + L"\"";
}

}  // namespace

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  int count = 0;
  wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!words) return {argv, argv + argc};
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) arguments.push_back(Utf8FromWide(words[i]));
  LocalFree(words);
  return arguments;
}

TChildProcess::TChildProcess(const std::string& program, const std::vector<std::string>& arguments) {
  const std::wstring path = WideFromUtf8(program);
  std::wstring line = Quoted(path);
  for (const auto& argument : arguments) line += L" " + Quoted(WideFromUtf8(argument));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return;
  CloseHandle(process.hThread);
  FProcess = reinterpret_cast<long long>(process.hProcess);
}

TChildProcess::~TChildProcess() {
  if (!Started()) return;
  if (!FDone) {
    Kill();
    Wait();
  }
  CloseHandle(reinterpret_cast<HANDLE>(FProcess));
}

bool TChildProcess::Started() const { return FProcess != -1; }

int TChildProcess::Wait() {
  if (!Started() || FDone) return FExitCode;
  const HANDLE process = reinterpret_cast<HANDLE>(FProcess);
  WaitForSingleObject(process, INFINITE);
  DWORD code = 0;
  if (!FKilled && GetExitCodeProcess(process, &code)) FExitCode = int(code);
  FDone = true;
  return FExitCode;
}

void TChildProcess::Kill() {
  if (Started() && !FDone) FKilled = TerminateProcess(reinterpret_cast<HANDLE>(FProcess), 1) != 0;
}
