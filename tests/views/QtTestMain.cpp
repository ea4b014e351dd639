// Widget tests run without a display: Qt's offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>

#include "views/widgets/SanitizerDefaults.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
