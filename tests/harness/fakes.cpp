#include "harness/fakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "protocol/line_settings.h"

namespace dornvel::testing {

Bytes FromHex(const std::string& hex) {
  Bytes bytes;
  std::istringstream in(hex);
  std::string token;
  while (in >> token) bytes.push_back(static_cast<std::uint8_t>(std::stoul(token, nullptr, 16)));
  return bytes;
}

std::string ToHex(std::span<const std::uint8_t> bytes) {
  std::string text;
  char buf[4];
  for (auto b : bytes) {
    std::snprintf(buf, sizeof buf, "%02X", b);
    if (!text.empty()) text += ' ';
    text += buf;
  }
  return text;
}

int RaisedError(const std::function<void()>& f) {
  try {
    f();
  } catch (const RuntimeError& e) {
    return static_cast<int>(e.Number());
  }
  return 0;
}

void FakeEventPump::ProcessEvents() {
  ++passes;
  if (onEvents) onEvents();
}

void FakeEventPump::WaitForEvents(Duration limit) {
  clock_.Advance(limit);
  ProcessEvents();
}

ScriptedSerialControl::~ScriptedSerialControl() {
  for (const auto& step : script_) {
    ADD_FAILURE() << "expected request never sent: " << (step.request ? ToHex(*step.request) : "any");
  }
}

void ScriptedSerialControl::Expect(const std::string& requestHex, std::vector<Chunk> chunks) {
  script_.push_back({FromHex(requestHex), std::move(chunks)});
}

void ScriptedSerialControl::ExpectAnyRequest(std::vector<Chunk> chunks) {
  script_.push_back({std::nullopt, std::move(chunks)});
}

void ScriptedSerialControl::ExpectReply(const std::string& requestHex, const std::string& replyHex) {
  Expect(requestHex, {{5ms, FromHex(replyHex)}});
}

void ScriptedSerialControl::AddStaleInput(const std::string& hex) {
  auto bytes = FromHex(hex);
  inBuffer_.insert(inBuffer_.end(), bytes.begin(), bytes.end());
}

void ScriptedSerialControl::SetPortOpen(bool open) {
  if (!open) {
    open_ = false;
    return;
  }
  if (open_) return;
  if (port_ == kNoPort) {
    openFailure_ = "no port chosen";
    return;
  }
  ++openCalls;
  open_ = openable;
  openFailure_ = open_ ? "" : "port " + std::to_string(port_) + " cannot be opened";
}

bool ScriptedSerialControl::SetCommPort(int number) {
  if (open_ || number < kNoPort) return false;
  port_ = number;
  return true;
}

bool ScriptedSerialControl::SetSettings(std::string_view text) {
  if (open_ || !ParseLineSettings(text)) return false;
  settings_ = std::string(text);
  return true;
}

void ScriptedSerialControl::DeliverArrived() {
  while (!arrivals_.empty() && arrivals_.front().at <= clock_.Now()) {
    auto& bytes = arrivals_.front().bytes;
    inBuffer_.insert(inBuffer_.end(), bytes.begin(), bytes.end());
    inputEnd_ = arrivals_.front().at;
    arrivals_.pop_front();
  }
}

int ScriptedSerialControl::InBufferCount() {
  DeliverArrived();
  return static_cast<int>(inBuffer_.size());
}

Bytes ScriptedSerialControl::Input() {
  DeliverArrived();
  Bytes taken;
  taken.swap(inBuffer_);
  return taken;
}

LineRequest ScriptedSerialControl::PutOnLine(const Bytes& frame) {
  const LineSettings line = OnLine();
  LineRequest request{frame, line.baudRate, line.CharacterTime()};
  request.start = std::max(clock_.Now(), outputEnd_);
  request.end = request.start + request.characterTime * static_cast<int>(frame.size());
  request.quietSince = std::max(outputEnd_, inputEnd_);
  for (const Arrival& arrival : arrivals_) {
    if (arrival.at - request.characterTime >= request.start) break;
    request.quietSince = std::max(request.quietSince, arrival.at);
  }
  outputEnd_ = request.end;
  return request;
}

void ScriptedSerialControl::Schedule(std::vector<Chunk> chunks, TimePoint from) {
  // A late reply to an earlier request may still be on its way.
  const auto arrive = [this](TimePoint at, Bytes bytes) {
    const auto later = std::ranges::upper_bound(arrivals_, at, {}, &Arrival::at);
    arrivals_.insert(later, {at, std::move(bytes)});
  };
  const Duration character = OnLine().CharacterTime();
  TimePoint at = from;
  for (Chunk& chunk : chunks) {
    at += chunk.delay;
    if (!lineTime) {
      arrive(at, std::move(chunk.bytes));
      continue;
    }
    for (std::uint8_t byte : chunk.bytes) {
      at += character;
      arrive(at, {byte});
    }
  }
}

void ScriptedSerialControl::SetOutput(const Bytes& frame) {
  sent_.push_back(ToHex(frame));
  if (outputDrains) {
    outBuffer_.clear();
  } else {
    outBuffer_.insert(outBuffer_.end(), frame.begin(), frame.end());
  }
  const LineRequest request = PutOnLine(frame);
  const TimePoint replyFrom = lineTime ? request.end : clock_.Now();
  if (respond) {
    Schedule(respond(frame), replyFrom);
  } else if (!script_.empty()) {
    Step step = std::move(script_.front());
    script_.pop_front();
    if (step.request) {
      EXPECT_EQ(ToHex(frame), ToHex(*step.request));
    }
    Schedule(std::move(step.chunks), replyFrom);
  } else if (!devices) {
    ADD_FAILURE() << "unexpected request: " << ToHex(frame);
  }
  if (!devices) return;
  for (Reply& reply : devices(request)) Schedule(std::move(reply), replyFrom);
}

int ScriptedSerialControl::OutBufferCount() {
  if (!lineTime || !outputDrains) return static_cast<int>(outBuffer_.size());
  const Duration left = outputEnd_ - clock_.Now();
  if (left <= Duration::zero()) return 0;
  const Duration character = OnLine().CharacterTime();
  return static_cast<int>((left + character - Duration(1)) / character);
}

void ScriptedSerialControl::DropOutput() {
  outBuffer_.clear();
  outputEnd_ = std::min(outputEnd_, clock_.Now());
}

void ScriptedSerialControl::WaitForInput(Duration limit, WaitEvents events) {
  if (events == WaitEvents::Run) pump_.ProcessEvents();
  // As on a real port, there is nothing to wait for on a closed one.
  if (!open_) return;
  TimePoint deadline = clock_.Now() + limit;
  if (!arrivals_.empty() && arrivals_.front().at <= deadline) {
    clock_.AdvanceTo(arrivals_.front().at);
  } else {
    clock_.AdvanceTo(deadline);
  }
  DeliverArrived();
}

void ScriptedSerialControl::WaitForOutputDrained(Duration limit, WaitEvents events) {
  if (events == WaitEvents::Run) pump_.ProcessEvents();
  if (OutBufferCount() == 0) return;
  const TimePoint deadline = clock_.Now() + limit;
  clock_.AdvanceTo(lineTime && outputDrains ? std::min(deadline, outputEnd_) : deadline);
}

}  // namespace dornvel::testing
