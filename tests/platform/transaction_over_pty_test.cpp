#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "harness/device_turn.h"
#include "harness/fakes.h"
#include "harness/pseudo_terminal.h"
#include "harness/scoped_env.h"
#include "platform/qt_event_pump.h"
#include "platform/qt_serial_control.h"
#include "platform/steady_clock.h"
#include "protocol/line.h"
#include "protocol/mb_data.h"

namespace dornvel {
namespace {

using namespace std::chrono_literals;
using testing::DeviceTurn;
using testing::FromHex;
using testing::In;
using testing::PseudoTerminal;
using testing::ScopedEnv;

namespace fs = std::filesystem;

const Bytes kReadNolu = FromHex("01 04 00 00 00 02 71 CB");
const Bytes kNoluIs12_5 = FromHex("01 04 04 00 00 41 48 CB E2");
const Bytes kNoluIs10 = FromHex("01 04 04 00 00 41 20 CA 0C");

bool Contains(const std::vector<std::string>& messages, const std::string& text) {
  return std::find(messages.begin(), messages.end(), text) != messages.end();
}

// A float input-register tag "nolu" of slave 1 at address 0, on COM1, which the
// environment points at a device path the test chooses.
class TransactionOverPty : public ::testing::Test {
 protected:
  void Define(const std::string& tagName = "nolu", std::int32_t address = 0, std::int32_t valueType = FloatType) {
    tag_.Init(1, InputRegisters, address, valueType, &line_, tagName, nullptr);
  }

  PseudoTerminal pty_;
  std::optional<ScopedEnv> device_;
  testing::FakeHostWindow window_;
  QtSerialControl control_{&window_};
  Line line_{control_};
  QtEventPump pump_;
  SteadyClock clock_;
  MBData tag_{ProtocolServices{pump_, clock_}};
};

class TransactionOnOnePty : public TransactionOverPty {
 protected:
  TransactionOnOnePty() { device_.emplace("DORNVEL_COM1", pty_.SlavePath()); }
};

TEST_F(TransactionOnOnePty, a_float_read_sends_the_request_and_stores_the_reply) {
  Define();
  DeviceTurn device(pty_, kReadNolu.size(), {{0ms, kNoluIs12_5}});
  tag_.Refresh();
  EXPECT_EQ(device.Finish(), kReadNolu);
  EXPECT_EQ(tag_.Data(), Value(12.5f));
  EXPECT_EQ(tag_.LastError, 0);
  EXPECT_EQ(window_.panel3, "");
  EXPECT_TRUE(window_.messages.empty());
  EXPECT_TRUE(control_.PortOpen());
}

TEST_F(TransactionOnOnePty, a_device_that_does_not_answer_times_out_after_about_2_1_seconds) {
  Define("switch", 2, IntegerType);
  const auto start = std::chrono::steady_clock::now();
  tag_.Refresh();
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(pty_.Read(8, In(1s)), FromHex("01 04 00 02 00 01 90 0A"));
  EXPECT_GE(took, 2100ms);
  EXPECT_LT(took, 3s);
  EXPECT_EQ(window_.panel4, "MBdata/GetData: Timout при получении пакета switch");
  EXPECT_EQ(window_.panel3, "1");
  EXPECT_EQ(tag_.LastError, 0);
}

TEST_F(TransactionOnOnePty, a_reply_split_by_a_gap_under_the_silence_is_collected_whole) {
  Define();
  DeviceTurn device(pty_, kReadNolu.size(),
                    {{0ms, FromHex("01 04 04 00")}, {40ms, FromHex("00 41 48")}, {40ms, FromHex("CB E2")}});
  tag_.Refresh();
  device.Finish();
  EXPECT_EQ(tag_.Data(), Value(12.5f));
  EXPECT_EQ(tag_.LastError, 0);
  EXPECT_EQ(window_.panel3, "");
}

TEST_F(TransactionOnOnePty, a_gap_over_the_silence_cuts_the_reply_and_the_rest_is_dropped_next_time) {
  Define();
  {
    DeviceTurn device(pty_, kReadNolu.size(), {{0ms, FromHex("01 04 04 00 00")}, {300ms, FromHex("41 48 CB E2")}});
    tag_.Refresh();
    EXPECT_EQ(tag_.RxBytes(), FromHex("01 04 04 00 00"));
    EXPECT_TRUE(tag_.Data().IsEmpty());
    device.Finish();
  }
  ASSERT_TRUE(pty_.WaitUntilDelivered(4, In(2s)));
  window_.messages.clear();

  DeviceTurn device(pty_, kReadNolu.size(), {{0ms, kNoluIs12_5}});
  tag_.Refresh();
  EXPECT_EQ(device.Finish(), kReadNolu);
  EXPECT_TRUE(Contains(window_.messages, "CommPort - не пуст!!!"));
  EXPECT_EQ(tag_.Data(), Value(12.5f));
  EXPECT_EQ(tag_.LastError, 0);
}

// The port's device path is a symbolic link, as a udev rule gives a USB adapter:
// the device goes away and another one appears behind the same name.
class TransactionAcrossReplug : public TransactionOverPty {
 protected:
  TransactionAcrossReplug() {
    PointLinkAt(pty_.SlavePath());
    device_.emplace("DORNVEL_COM1", link_.string());
  }
  ~TransactionAcrossReplug() override { fs::remove(link_); }

  void PointLinkAt(const std::string& target) {
    const fs::path fresh = link_.string() + ".new";
    fs::remove(fresh);
    fs::create_symlink(target, fresh);
    fs::rename(fresh, link_);
  }

  const fs::path link_ = fs::temp_directory_path() / ("dornvel-com1-" + std::to_string(::getpid()));
};

TEST_F(TransactionAcrossReplug, polling_resumes_by_itself_after_the_peer_hangs_up_and_comes_back) {
  Define();
  {
    DeviceTurn device(pty_, kReadNolu.size(), {{0ms, kNoluIs12_5}});
    tag_.Refresh();
  }
  ASSERT_EQ(tag_.Data(), Value(12.5f));

  ::testing::internal::CaptureStderr();
  pty_.HangUp();
  PseudoTerminal replugged;
  PointLinkAt(replugged.SlavePath());
  DeviceTurn device(replugged, kReadNolu.size(), {{0ms, kNoluIs10}});
  // The loss shows at the latest when the next exchange looks for stale input;
  // that exchange fails, and the one after it opens the new device.
  for (int poll = 0; poll < 2 && tag_.Data() != Value(10.0f); ++poll) tag_.Refresh();
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(device.Finish(), kReadNolu);
  EXPECT_TRUE(control_.PortOpen());
  EXPECT_EQ(tag_.Data(), Value(10.0f));
  EXPECT_EQ(tag_.LastError, 0);
  EXPECT_NE(said.find("the device is gone"), std::string::npos) << said;
}

}  // namespace
}  // namespace dornvel
