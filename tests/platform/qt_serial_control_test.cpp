#include "platform/qt_serial_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <string>

#include "harness/fakes.h"
#include "harness/pseudo_terminal.h"
#include "harness/scoped_env.h"
#include "harness/temp_dir.h"

namespace dornvel {
namespace {

using namespace std::chrono_literals;
using testing::FromHex;
using testing::In;
using testing::PseudoTerminal;
using testing::ScopedEnv;
using testing::TempDir;

namespace fs = std::filesystem;

int LineCount(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

TEST(QtSerialControl, starts_closed_on_port_1_with_9600_N_8_1) {
  QtSerialControl control;
  EXPECT_FALSE(control.PortOpen());
  EXPECT_EQ(control.CommPort(), 1);
  EXPECT_EQ(control.Settings(), "9600,N,8,1");
  EXPECT_EQ(control.Parent(), nullptr);
}

TEST(QtSerialControl, reaches_the_window_it_is_given) {
  testing::FakeHostWindow window;
  QtSerialControl control(&window);
  EXPECT_EQ(control.Parent(), &window);
}

TEST(QtSerialControl, takes_well_formed_settings_and_refuses_the_rest_unchanged) {
  struct Case {
    const char* text;
    bool accepted;
  };
  const Case cases[] = {
      {"9600,N,8,2", true},  {"19200,N,8,2", true},   {"9600,E,7,1.5", true}, {"9600,N,8", false},
      {"9600,X,8,1", false}, {"fast,N,8,1", false},   {"9600,N,9,1", false},  {"9600,N,8,3", false},
      {"", false},           {"9600,N,8,1,1", false},
  };
  for (const auto& c : cases) {
    QtSerialControl control;
    EXPECT_EQ(control.SetSettings(c.text), c.accepted) << c.text;
    EXPECT_EQ(control.Settings(), c.accepted ? c.text : "9600,N,8,1") << c.text;
  }
}

TEST(QtSerialControl, takes_port_0_for_no_port_which_opens_nothing_and_refuses_negative_numbers) {
  QtSerialControl control;
  EXPECT_FALSE(control.SetCommPort(-3));
  EXPECT_TRUE(control.SetCommPort(16));
  EXPECT_EQ(control.CommPort(), 16);
  EXPECT_TRUE(control.SetCommPort(0));
  control.SetPortOpen(true);
  EXPECT_FALSE(control.PortOpen());
  EXPECT_EQ(control.OpenFailure(), "No port is chosen: choose one in the list");
}

TEST(QtSerialControl, port_and_settings_change_only_while_closed) {
  PseudoTerminal pty;
  ScopedEnv device("DORNVEL_COM4", pty.SlavePath());
  QtSerialControl control;
  ASSERT_TRUE(control.SetCommPort(4));
  control.SetPortOpen(true);
  ASSERT_TRUE(control.PortOpen());

  EXPECT_FALSE(control.SetCommPort(5));
  EXPECT_FALSE(control.SetSettings("19200,N,8,2"));
  EXPECT_EQ(control.CommPort(), 4);
  EXPECT_EQ(control.Settings(), "9600,N,8,1");

  control.SetPortOpen(false);
  EXPECT_FALSE(control.PortOpen());
  EXPECT_TRUE(control.SetCommPort(5));
  EXPECT_TRUE(control.SetSettings("19200,N,8,2"));
}

// A pseudo-terminal always reads back 8 data bits and no parity, so the line
// shows the baud rate, the stop bits and the flow control only.
TEST(QtSerialControl, the_settings_reach_the_line_when_the_port_opens) {
  struct Case {
    const char* text;
    speed_t speed;
    tcflag_t twoStopBits;
  };
  const Case cases[] = {
      {"9600,N,8,2", B9600, CSTOPB},
      {"19200,N,8,2", B19200, CSTOPB},
      {"9600,N,8,1", B9600, 0},
      {"19200,E,7,1.5", B19200, 0},
  };
  for (const auto& c : cases) {
    PseudoTerminal pty;
    ScopedEnv device("DORNVEL_COM1", pty.SlavePath());
    QtSerialControl control;
    ASSERT_TRUE(control.SetSettings(c.text));
    control.SetPortOpen(true);
    ASSERT_TRUE(control.PortOpen()) << c.text;
    const termios line = pty.Line();
    EXPECT_EQ(cfgetospeed(&line), c.speed) << c.text;
    EXPECT_EQ(line.c_cflag & CSTOPB, c.twoStopBits) << c.text;
    EXPECT_EQ(line.c_cflag & CRTSCTS, 0u) << c.text;
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF), 0u) << c.text;
  }
}

TEST(QtSerialControl, opening_an_open_port_leaves_it_open) {
  PseudoTerminal pty;
  ScopedEnv device("DORNVEL_COM1", pty.SlavePath());
  QtSerialControl control;
  control.SetPortOpen(true);
  control.SetPortOpen(true);
  EXPECT_TRUE(control.PortOpen());
  control.SetPortOpen(false);
  control.SetPortOpen(false);
  EXPECT_FALSE(control.PortOpen());
}

TEST(QtSerialControl, a_port_that_is_not_a_serial_device_stays_closed_and_says_why_once) {
  TempDir scratch;
  const auto directory = scratch / "a-directory";
  fs::create_directory(directory);
  const auto plainFile = scratch / "a-file";
  std::ofstream(plainFile) << "not a port\n";
  const auto missing = scratch / "missing";
  struct Case {
    fs::path device;
    const char* reason;
  };
  const Case cases[] = {
      {directory, "a directory"},
      {plainFile, "not a character device"},
      {missing, "No such file or directory"},
      {"/dev/null", "Inappropriate ioctl"},
  };
  for (const auto& c : cases) {
    ScopedEnv device("DORNVEL_COM2", c.device.string());
    QtSerialControl control;
    control.SetCommPort(2);
    ::testing::internal::CaptureStderr();
    for (int poll = 0; poll < 3; ++poll) control.SetPortOpen(true);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(control.PortOpen()) << c.device;
    EXPECT_EQ(LineCount(said), 1) << said;
    EXPECT_NE(said.find("COM2 (" + c.device.string() + ")"), std::string::npos) << said;
    EXPECT_NE(said.find(c.reason), std::string::npos) << said;
    EXPECT_EQ(control.OpenFailure().rfind("Cannot open COM2 (" + c.device.string() + "): ", 0), 0u)
        << control.OpenFailure();
    EXPECT_NE(control.OpenFailure().find(c.reason), std::string::npos) << control.OpenFailure();
  }
}

TEST(QtSerialControl, a_port_another_control_holds_stays_closed_and_says_it_is_in_use) {
  PseudoTerminal pty;
  ScopedEnv device("DORNVEL_COM1", pty.SlavePath());
  QtSerialControl holder;
  holder.SetPortOpen(true);
  ASSERT_TRUE(holder.PortOpen());
  QtSerialControl control;
  ::testing::internal::CaptureStderr();
  control.SetPortOpen(true);
  control.SetPortOpen(true);
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_FALSE(control.PortOpen());
  EXPECT_TRUE(holder.PortOpen());
  EXPECT_EQ(LineCount(said), 1) << said;
  EXPECT_NE(said.find("in use"), std::string::npos) << said;
  EXPECT_NE(control.OpenFailure().find("in use"), std::string::npos) << control.OpenFailure();
}

TEST(QtSerialControl, a_port_number_without_a_device_says_which_variable_to_set) {
  ScopedEnv unset("DORNVEL_COM17", std::nullopt);
  QtSerialControl control;
  control.SetCommPort(17);
  ::testing::internal::CaptureStderr();
  control.SetPortOpen(true);
  control.SetPortOpen(true);
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_FALSE(control.PortOpen());
  EXPECT_EQ(LineCount(said), 1) << said;
  EXPECT_NE(said.find("DORNVEL_COM17"), std::string::npos) << said;
}

TEST(QtSerialControl, an_absent_default_device_stays_quiet_but_an_absent_named_one_is_reported) {
  if (fs::exists("/dev/ttyACM3")) GTEST_SKIP() << "this machine has /dev/ttyACM3";
  ScopedEnv unnamed("DORNVEL_COM12", std::nullopt);
  TempDir dir;
  ScopedEnv named("DORNVEL_COM11", (dir / "gone").string());
  QtSerialControl control;
  ::testing::internal::CaptureStderr();
  control.SetCommPort(12);
  control.SetPortOpen(true);
  EXPECT_NE(control.OpenFailure().find("COM12 (/dev/ttyACM3): No such file"), std::string::npos)
      << "the window shows it even so";
  control.SetCommPort(11);
  control.SetPortOpen(true);
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_FALSE(control.PortOpen());
  EXPECT_EQ(said.find("COM12"), std::string::npos) << said;
  EXPECT_NE(said.find("COM11"), std::string::npos) << said;
}

TEST(QtSerialControl, a_failure_is_said_again_when_its_reason_changes_or_after_an_open) {
  TempDir scratch;
  const auto link = scratch / "com3";
  ScopedEnv device("DORNVEL_COM3", link.string());
  QtSerialControl control;
  control.SetCommPort(3);
  ::testing::internal::CaptureStderr();
  control.SetPortOpen(true);  // missing
  fs::create_directory(link);
  control.SetPortOpen(true);  // a directory
  control.SetPortOpen(true);
  fs::remove(link);
  {
    PseudoTerminal pty;
    fs::create_symlink(pty.SlavePath(), link);
    control.SetPortOpen(true);
    EXPECT_TRUE(control.PortOpen());
    EXPECT_EQ(control.OpenFailure(), "");
    control.SetPortOpen(false);
  }
  fs::remove(link);
  control.SetPortOpen(true);  // missing again, after an open
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_FALSE(control.PortOpen());
  EXPECT_EQ(LineCount(said), 3) << said;
}

TEST(QtSerialControl, finds_a_port_present_without_opening_it) {
  TempDir scratch;
  const auto link = scratch / "com5";
  ScopedEnv device("DORNVEL_COM5", link.string());
  QtSerialControl control;
  EXPECT_FALSE(control.PortPresent(5));
  fs::create_directory(link);
  EXPECT_FALSE(control.PortPresent(5)) << "a directory is no port";
  fs::remove(link);
  PseudoTerminal pty;
  fs::create_symlink(pty.SlavePath(), link);
  EXPECT_TRUE(control.PortPresent(5));
  EXPECT_FALSE(control.PortOpen());
  EXPECT_FALSE(control.PortPresent(0));
}

TEST(QtSerialControl, counts_and_takes_bytes_the_system_already_holds) {
  PseudoTerminal pty;
  ScopedEnv device("DORNVEL_COM1", pty.SlavePath());
  QtSerialControl control;
  control.SetPortOpen(true);
  ASSERT_TRUE(control.PortOpen());
  EXPECT_EQ(control.InBufferCount(), 0);

  pty.Write(FromHex("01 04 04"));
  ASSERT_TRUE(pty.WaitUntilDelivered(3, In(2s)));
  EXPECT_EQ(control.InBufferCount(), 3);
  EXPECT_EQ(control.Input(), FromHex("01 04 04"));
  EXPECT_EQ(control.InBufferCount(), 0);
  EXPECT_EQ(control.Input(), Bytes{});
}

// A frame the system takes whole goes to it at once; one larger than the
// terminal's buffer is finished by QSerialPort, its bytes still in order.
TEST(QtSerialControl, sends_a_frame_whole_and_in_order_and_reports_it_drained) {
  Bytes large(64 * 1024);
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
  for (const Bytes& frame : {FromHex("01 04 00 00 00 02 71 CB"), large}) {
    SCOPED_TRACE(frame.size());
    PseudoTerminal pty;
    ScopedEnv device("DORNVEL_COM1", pty.SlavePath());
    QtSerialControl control;
    control.SetPortOpen(true);
    control.SetOutput(frame);
    Bytes received;
    const auto deadline = In(5s);
    while (received.size() < frame.size() && std::chrono::steady_clock::now() < deadline) {
      control.WaitForOutputDrained(20ms, WaitEvents::Hold);
      const Bytes part = pty.Read(frame.size() - received.size(), In(20ms));
      received.insert(received.end(), part.begin(), part.end());
    }
    EXPECT_EQ(received, frame);
    EXPECT_EQ(control.OutBufferCount(), 0);
  }
}

TEST(QtSerialControl, a_closed_port_has_nothing_to_count_take_or_send) {
  QtSerialControl control;
  EXPECT_EQ(control.InBufferCount(), 0);
  EXPECT_EQ(control.Input(), Bytes{});
  control.SetOutput(FromHex("01 02"));
  EXPECT_EQ(control.OutBufferCount(), 0);
  control.DropOutput();
  EXPECT_FALSE(control.PortOpen());
}

TEST(QtSerialControl, logs_requests_and_replies_only_when_DORNVEL_TRACE_is_1) {
  const std::regex line(R"(\d+\.\d{3} nolu -> 01 04 00 00 00 02 71 CB\n\d+\.\d{3} nolu <- 01 04\n)");
  struct Case {
    std::optional<std::string> flag;
    bool logs;
  };
  const Case cases[] = {{"1", true}, {std::nullopt, false}, {"0", false}, {"yes", false}};
  for (const auto& c : cases) {
    ScopedEnv trace("DORNVEL_TRACE", c.flag);
    QtSerialControl control;
    ::testing::internal::CaptureStderr();
    control.Trace(TraceDirection::Request, "nolu", FromHex("01 04 00 00 00 02 71 CB"));
    control.Trace(TraceDirection::Reply, "nolu", FromHex("01 04"));
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::regex_match(said, line), c.logs) << c.flag.value_or("unset") << ": " << said;
    if (!c.logs) {
      EXPECT_EQ(said, "");
    }
  }
}

}  // namespace
}  // namespace dornvel
