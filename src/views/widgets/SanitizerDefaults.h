// Sanitizer defaults for the Qt programs (include in exactly one file of each
// executable: the one with main).
//
// The system's Qt libraries are not built with ThreadSanitizer, so it cannot
// see their own locking (Qt scales and converts large images on a thread pool
// of its own): reports from inside them are left out. Leak checking leaves
// out the D-Bus library, which without a session bus keeps one buffer for the
// life of the process. Our own code stays fully checked.
#pragma once

extern "C" __attribute__((used)) inline const char* __tsan_default_suppressions() {
  return "race:libQt6Core.so\n"
         "race:libQt6Gui.so\n"
         "race:libQt6Widgets.so\n";
}

extern "C" __attribute__((used)) inline const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }
