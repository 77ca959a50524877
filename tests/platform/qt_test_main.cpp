#include <gtest/gtest.h>

#include <QCoreApplication>

// The serial control and the event pump need a Qt application and its event loop.
int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
