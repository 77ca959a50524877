#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "harness/fakes.h"
#include "harness/program_process.h"
#include "harness/pseudo_terminal.h"
#include "harness/traffic_log.h"

namespace dornvel::testing {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;

std::string RandomBytes(std::size_t count) {
  std::mt19937 random(2026);
  std::string bytes(count, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
  return bytes;
}

struct CorruptSettings {
  const char* what;
  std::string content;
  // The settings saved on closing: the readable ones kept, defaults for the rest.
  const char* baudRate;
  const char* slave;
  // Whether Qt finds the file unreadable, so that closing says it was rewritten.
  bool unreadable;
};

TEST(BadSettings, a_corrupt_settings_file_is_read_as_far_as_it_goes_and_closing_saves_the_settings) {
  const CorruptSettings cases[] = {
      {"random bytes", RandomBytes(4096), "9600", "1", true},
      {"a line of 5 MB", "[Properties]\nNote=" + std::string(5 << 20, 'x') + "\nBoudRate=19200\nSlave=5\n", "19200",
       "5", false},
      {"values of other types",
       "[Properties]\nComPort=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x6QPoint\\0\\0\\0\\0\\x1\\0\\0\\0\\x2)\n"
       "BoudRate=19200\nSlave=@ByteArray(\\xff\\xfe)\n",
       "19200", "1", false},
      {"numbers out of range", "[Properties]\nBoudRate=-5\nSlave=1e308\n", "9600", "1", false},
      {"binary bytes among good lines", "[Properties]\nSlave=7\n\0\0\0\xff\xfe[[\n\x01\x02=\x03\nBoudRate=19200\n"s,
       "19200", "7", true},
      {"a section never closed", "[Properties\nSlave=3\n", "9600", "3", true},
  };
  for (const CorruptSettings& c : cases) {
    SCOPED_TRACE(c.what);
    ProgramProcess program;
    program.WriteSettings(c.content);

    EXPECT_EQ(program.Run(1), 0) << program.Stderr();
    const std::string saved = program.SavedSettings();
    EXPECT_NE(saved.find("BoudRate="s + c.baudRate + "\n"), std::string::npos) << saved.substr(0, 300);
    EXPECT_NE(saved.find("Slave="s + c.slave + "\n"), std::string::npos) << saved.substr(0, 300);
    EXPECT_EQ(LinesWith(program.Stderr(), "settings not saved"), 0) << program.Stderr();
    EXPECT_EQ(LinesWith(program.Stderr(), "dornvel: " + program.SettingsFile().string() +
                                              " could not be read in full; it now holds the settings of this session"),
              c.unreadable ? 1 : 0)
        << program.Stderr();
  }
}

struct UnwritablePlace {
  const char* what;
  // Blocks the settings file for the run (root may write anywhere, so no
  // permission bits are used).
  void (*block)(const ProgramProcess&);
};

TEST(BadSettings, closing_where_no_settings_can_be_written_still_ends_the_program_and_says_why) {
  const UnwritablePlace cases[] = {
      {"the settings file is a folder",
       [](const ProgramProcess& p) { std::filesystem::create_directories(p.SettingsFile()); }},
      {"the settings folder is a file",
       [](const ProgramProcess& p) { std::ofstream(p.SettingsFile().parent_path()) << "not a folder"; }},
      {"the configuration home is a file",
       [](const ProgramProcess& p) {
         std::filesystem::remove(p.ConfigHome());
         std::ofstream(p.ConfigHome()) << "not a folder";
       }},
  };
  for (const UnwritablePlace& c : cases) {
    SCOPED_TRACE(c.what);
    ProgramProcess program;
    c.block(program);

    EXPECT_EQ(program.Run(1), 0) << program.Stderr();
    EXPECT_EQ(
        LinesWith(program.Stderr(), "dornvel: settings not saved: cannot write " + program.SettingsFile().string()), 1)
        << program.Stderr();
  }
}

struct PortThatIsNoDevice {
  const char* what;
  // The path DORNVEL_COM1 names, given the test's own folder.
  std::string path;
  const char* reason;
};

TEST(BadEnvironment, a_port_that_names_no_serial_device_is_reported_once_and_the_settings_are_kept) {
  TempDir dir;
  std::filesystem::create_directory(dir / "folder");
  std::ofstream(dir / "plain-file") << "not a device";
  const PortThatIsNoDevice cases[] = {
      {"a missing path", (dir / "missing").string(), "No such file or directory"},
      {"a folder", (dir / "folder").string(), "a directory, not a serial device"},
      {"a plain file", (dir / "plain-file").string(), "not a character device, so not a serial port"},
      {"a character device that is no terminal", "/dev/null", "Inappropriate ioctl for device"},
  };
  for (const PortThatIsNoDevice& c : cases) {
    SCOPED_TRACE(c.what);
    ProgramProcess program({{1, c.path}});
    program.WriteSettings("[Properties]\nComPort=Com1\nBoudRate=19200\nSlave=9\n");

    // Start-up probes every port once; one that does not open gets no entry.
    EXPECT_EQ(program.Run(1), 0) << program.Stderr();
    EXPECT_EQ(LinesWith(program.Stderr(), "dornvel: cannot open COM1 (" + c.path + "): " + c.reason), 1)
        << program.Stderr();
    const std::string saved = program.SavedSettings();
    EXPECT_NE(saved.find("BoudRate=19200\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("Slave=9\n"), std::string::npos) << saved;
  }
}

TEST(BadEnvironment, a_device_that_vanishes_while_a_reply_is_awaited_is_reported_and_nothing_is_lost) {
  PseudoTerminal device;
  ProgramProcess program({{1, device.SlavePath()}});
  program.WriteSettings("[Properties]\nComPort=Com1\nBoudRate=9600\nSlave=1\n");

  program.Start(3);
  // The first request of the first tick, nolu: slave 1, function 4, 2 registers from 0.
  const Bytes request = device.Read(8, In(15s));
  device.HangUp();
  const std::optional<int> exit = program.WaitForExit(30s);

  EXPECT_EQ(ToHex(request), "01 04 00 00 00 02 71 CB");
  EXPECT_EQ(exit, 0) << program.Stderr();
  EXPECT_EQ(LinesWith(program.Stderr(),
                      "dornvel: COM1 (" + device.SlavePath() + "): cannot read, the device is gone or hung up"),
            1)
      << program.Stderr();
  // Every later exchange of the three ticks tries to open the port again, and
  // the reason is told once.
  EXPECT_EQ(LinesWith(program.Stderr(), "dornvel: cannot open COM1 (" + device.SlavePath() + "): "), 1)
      << program.Stderr();
  const std::string saved = program.SavedSettings();
  EXPECT_NE(saved.find("ComPort=Com1\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("BoudRate=9600\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("Slave=1\n"), std::string::npos) << saved;
}

}  // namespace
}  // namespace dornvel::testing
