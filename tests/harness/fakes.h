#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "protocol/bytes.h"
#include "protocol/clock.h"
#include "protocol/event_pump.h"
#include "protocol/host_window.h"
#include "protocol/line_settings.h"
#include "protocol/runtime_error.h"
#include "protocol/serial_control.h"

namespace dornvel::testing {

using namespace std::chrono_literals;

// "01 03 00 00" -> bytes, and back.
Bytes FromHex(const std::string& hex);
std::string ToHex(std::span<const std::uint8_t> bytes);

// The number of the RuntimeError that `f` raises; 0 when it raises none.
int RaisedError(const std::function<void()>& f);

class FakeClock : public Clock {
 public:
  TimePoint Now() const override { return now_; }
  void Advance(Duration d) { now_ += d; }
  void AdvanceTo(TimePoint t) {
    if (t > now_) now_ = t;
  }

 private:
  TimePoint now_{std::chrono::hours(1)};
};

// Lets nothing run, and counts how often it was asked to.
class NoEventPump : public EventPump {
 public:
  void ProcessEvents() override { ++passes; }
  void WaitForEvents(Duration) override {}
  int passes = 0;
};

// Counts its passes; a hook lets a test run "window events" inside a transaction.
class FakeEventPump : public EventPump {
 public:
  explicit FakeEventPump(FakeClock& clock) : clock_(clock) {}
  void ProcessEvents() override;
  void WaitForEvents(Duration limit) override;

  int passes = 0;
  std::function<void()> onEvents;

 private:
  FakeClock& clock_;
};

class FakeHostWindow : public HostWindow {
 public:
  bool CommBusy() const override { return commBusy; }
  std::string ErrorCountText() const override { return panel3; }
  void SetErrorCountText(const std::string& text) override { panel3 = text; }
  void SetMessageText(const std::string& text) override {
    panel4 = text;
    messages.push_back(text);
  }

  bool commBusy = false;
  std::string panel3;
  std::string panel4;
  std::vector<std::string> messages;
};

// A request as it goes out on a line that keeps line time.
struct LineRequest {
  Bytes frame;
  int baudRate = 0;
  Duration characterTime{};
  TimePoint start{};  // its first character starts
  TimePoint end{};    // its last character has left
  // The end of the last character on the line before `start`, sent or
  // received; one that was still on the line at `start` counts too.
  TimePoint quietSince{};
};

// A serial control that follows a script of expected requests and the replies to
// them, on the fake clock. A script that is not used up fails the test.
//
// With `lineTime` set, bytes take their time on the line at the rate of the
// settings text (11 bits a character at "9600,N,8,2"): a request leaves the
// output buffer one character time per byte, after any request still going
// out; a reply's first piece comes its delay (the meter's turnaround) after
// the request's last character, each of its bytes one character time after
// the one before, each later piece its delay (a pause) after the last byte of
// the piece before. Without it a piece's bytes all arrive at once, its delay
// counted from the sending, and output drains at once.
class ScriptedSerialControl : public SerialControl {
 public:
  // One piece of a reply: its bytes arrive this long after the previous piece
  // (the first piece: after the request was sent, or with line time after its
  // last character).
  struct Chunk {
    Duration delay;
    Bytes bytes;
  };
  using Reply = std::vector<Chunk>;
  // The replies of the devices that answer a request, each on its own: two
  // that answer the same one run into each other on the line.
  using Devices = std::function<std::vector<Reply>(const LineRequest&)>;

  ScriptedSerialControl(FakeClock& clock, FakeEventPump& pump, HostWindow* parent)
      : clock_(clock), pump_(pump), parent_(parent) {}
  ~ScriptedSerialControl() override;

  // The next request must be `request`; the reply comes in `chunks`.
  void Expect(const std::string& requestHex, std::vector<Chunk> chunks = {});
  // Whatever the next request is, the reply comes in `chunks`.
  void ExpectAnyRequest(std::vector<Chunk> chunks);
  // Shorthand: the whole reply arrives 5 ms after the request.
  void ExpectReply(const std::string& requestHex, const std::string& replyHex);
  // Bytes already waiting before the next request.
  void AddStaleInput(const std::string& hex);
  // When set, answers every request in place of the script: a device that
  // answers by its own rules (late, or only some slave ids).
  std::function<std::vector<Chunk>(const Bytes& request)> respond;
  // Devices on the line besides the script: they hear every request and
  // answer by their own rules, alongside the script's reply; while some are
  // there, a request beyond the script is theirs alone, not unexpected.
  Devices devices;
  bool lineTime = false;
  // Forgets the expectations not used up.
  void ClearScript() { script_.clear(); }
  // Every request seen, as hex.
  const std::vector<std::string>& Sent() const { return sent_; }

  bool openable = true;
  bool outputDrains = true;
  int openCalls = 0;

  void SetPortOpen(bool open) override;
  bool PortOpen() const override { return open_; }
  bool SetCommPort(int number) override;
  int CommPort() const override { return port_; }
  std::string OpenFailure() const override { return openFailure_; }
  bool PortPresent(int number) const override { return number == port_ && openable; }
  bool SetSettings(std::string_view text) override;
  std::string Settings() const override { return settings_; }
  int InBufferCount() override;
  Bytes Input() override;
  void SetOutput(const Bytes& frame) override;
  int OutBufferCount() override;
  void DropOutput() override;
  void WaitForInput(Duration limit, WaitEvents events) override;
  void WaitForOutputDrained(Duration limit, WaitEvents events) override;
  HostWindow* Parent() const override { return parent_; }

 private:
  struct Arrival {
    TimePoint at;
    Bytes bytes;
  };
  struct Step {
    std::optional<Bytes> request;  // none: any request
    std::vector<Chunk> chunks;
  };
  void DeliverArrived();
  LineSettings OnLine() const { return ParseLineSettings(settings_).value_or(LineSettings{}); }
  LineRequest PutOnLine(const Bytes& frame);
  void Schedule(std::vector<Chunk> chunks, TimePoint from);

  FakeClock& clock_;
  FakeEventPump& pump_;
  HostWindow* parent_;
  bool open_ = false;
  int port_ = 1;
  std::string settings_ = "9600,N,8,1";
  std::string openFailure_;
  Bytes inBuffer_;
  Bytes outBuffer_;
  // With line time: when the last character queued has left, and when the
  // last one received ended.
  TimePoint outputEnd_{};
  TimePoint inputEnd_{};
  std::deque<Step> script_;
  std::deque<Arrival> arrivals_;
  std::vector<std::string> sent_;
};

}  // namespace dornvel::testing
