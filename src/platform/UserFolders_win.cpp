#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "platform/UserFolders.h"
#include "platform/WideText.h"

TUserFolders UserFolders() {
  try {
    PWSTR folder = nullptr;
    // The known-folder call rather than %LOCALAPPDATA%: it answers for
    // redirected profiles, and the environment is not the program's to read.
    const HRESULT result = SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_DEFAULT, nullptr, &folder);
    std::string base;
    if (SUCCEEDED(result) && folder != nullptr) base = Utf8FromWide(folder);
    CoTaskMemFree(folder);
    if (base.empty()) return {};
    const std::string sulo = base + "\\Sulo";
    return {sulo, sulo};
  } catch (...) {
    return {};
  }
}
