#include <objbase.h>

#include <cstdio>
#include <string>

#include "camera/ComApartment.h"
#include "logging/Log.h"

TComApartment::TComApartment() {
  const HRESULT result = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  // S_FALSE: COM was already initialised in this model on the thread; it
  // still counts, and is released like S_OK.
  FInitialized = SUCCEEDED(result);
  if (!FInitialized) {
    char code[16];
    std::snprintf(code, sizeof code, "%08lX", static_cast<unsigned long>(result));
    Trace(std::string("CoInitializeEx failed : ") + code);
  }
}

TComApartment::~TComApartment() {
  if (FInitialized) CoUninitialize();
}
