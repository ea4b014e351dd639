// Sulo: the photographic booth for facial and skin imaging.
#include "app/Program.h"

// Leak checking in sanitizer builds leaves out the system's D-Bus library:
// without a session bus it keeps one buffer for the life of the process.
extern "C" __attribute__((used)) const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

int main(int argc, char** argv) { return RunSulo(argc, argv); }
