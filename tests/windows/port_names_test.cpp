#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/port_mapping.h"

namespace dornvel {
namespace {

TEST(WindowsPortNames, com_n_in_the_list_opens_the_port_windows_names_com_n) {
  struct Case {
    int port;
    std::optional<std::string> device;
  };
  // QSerialPort turns COM10 and up into \\.\COM10 itself.
  const Case cases[] = {{1, "COM1"}, {9, "COM9"}, {10, "COM10"}, {16, "COM16"}, {0, std::nullopt}, {-3, std::nullopt}};
  for (const auto& c : cases) {
    EXPECT_EQ(DeviceForPort(c.port), c.device) << "Com" << c.port;
    EXPECT_FALSE(IsPortNamedByUser(c.port)) << "Com" << c.port;
  }
}

}  // namespace
}  // namespace dornvel
