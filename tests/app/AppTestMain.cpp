// The shell's tests run inside the program's own application object (so
// errors escaping handlers reach its report), on the offscreen platform.
#include <gtest/gtest.h>

#include "app/ErrorReport.h"
#include "views/widgets/SanitizerDefaults.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  TApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
