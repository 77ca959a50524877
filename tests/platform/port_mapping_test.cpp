#include "platform/port_mapping.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "harness/scoped_env.h"

namespace dornvel {
namespace {

using testing::ScopedEnv;

TEST(PortMapping, ports_without_a_variable_follow_the_default_table) {
  struct Case {
    int port;
    std::optional<std::string> device;
  };
  const Case cases[] = {
      {1, "/dev/ttyUSB0"}, {8, "/dev/ttyUSB7"}, {9, "/dev/ttyACM0"}, {12, "/dev/ttyACM3"}, {13, "/dev/ttyS0"},
      {16, "/dev/ttyS3"},  {0, std::nullopt},   {17, std::nullopt},  {-1, std::nullopt},
  };
  for (const auto& c : cases) {
    ScopedEnv unset("DORNVEL_COM" + std::to_string(c.port), std::nullopt);
    EXPECT_EQ(DeviceForPort(c.port), c.device) << "COM" << c.port;
  }
}

TEST(PortMapping, a_variable_names_the_device_of_its_port_even_outside_the_table) {
  struct Case {
    int port;
    std::string value;
    std::optional<std::string> device;
  };
  const std::string relative = "pty-link";
  const Case cases[] = {
      {1, "/dev/pts/7", "/dev/pts/7"},  {16, "/tmp/meter", "/tmp/meter"},
      {17, "/dev/pts/3", "/dev/pts/3"}, {2, relative, std::filesystem::absolute(relative).string()},
      {3, "", "/dev/ttyUSB2"},
  };
  for (const auto& c : cases) {
    ScopedEnv set("DORNVEL_COM" + std::to_string(c.port), c.value);
    EXPECT_EQ(DeviceForPort(c.port), c.device) << "COM" << c.port << " = '" << c.value << "'";
  }
}

TEST(PortMapping, a_variable_of_another_port_changes_nothing) {
  ScopedEnv other("DORNVEL_COM2", "/dev/pts/9");
  ScopedEnv unset("DORNVEL_COM1", std::nullopt);
  EXPECT_EQ(DeviceForPort(1), "/dev/ttyUSB0");
}

}  // namespace
}  // namespace dornvel
