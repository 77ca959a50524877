#include "sim/simulator.h"

#include <poll.h>

#include <cerrno>
#include <cstdio>
#include <stdexcept>
#include <vector>

#include "sim/reply_mangling.h"
#include "sim/request_handler.h"

namespace dornvel::sim {

namespace {

using namespace std::chrono;

Clock::duration SecondsOf(double seconds) { return duration_cast<Clock::duration>(duration<double>(seconds)); }

std::string SecondsText(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%g s", seconds);
  return text;
}

int PollTimeoutMs(Clock::duration left) {
  if (left <= Clock::duration::zero()) return 0;
  return static_cast<int>(ceil<milliseconds>(left).count());
}

Resistance ResistanceFor(const Options& options, std::uint64_t seed) {
  if (options.resistance) return Resistance::Fixed(*options.resistance);
  return Resistance::Drifting(options.driftCentre, seed, Clock::now());
}

Meter::Settings MeterSettings(const Options& options) {
  Meter::Settings settings;
  settings.slaveId = options.slaveId;
  settings.baud = options.baud;
  settings.jumper = options.jumper;
  settings.refusedWriteCode = options.refusedWriteCode;
  settings.switchValue = options.switchValue;
  return settings;
}

// A frame longer than any Modbus RTU frame is noise; it is handed on (and
// refused) rather than collected for ever.
constexpr std::size_t kLongestFrame = 256;

}  // namespace

Simulator::Simulator(const Options& options, std::uint64_t seed, std::unique_ptr<Line> line, LinkPointer* link,
                     TrafficLog& log, SignalPipe& signals, std::FILE* announceTo)
    : options_(options),
      line_(std::move(line)),
      link_(link),
      log_(log),
      signals_(signals),
      announceTo_(announceTo),
      meter_(MeterSettings(options), ResistanceFor(options, seed)),
      faults_(options.faults.triggers, seed),
      babbleRandom_(seed ^ 0x9E3779B97F4A7C15ull) {
  engine_.SetSlave(meter_.SlaveId());
}

void Simulator::Run() {
  AnnouncePath();
  const auto gap = milliseconds(options_.frameGapMs);
  Bytes pending;
  Clock::time_point lastByte{};
  while (!stop_) {
    int timeout = pending.empty() ? -1 : PollTimeoutMs(lastByte + gap - Clock::now());
    pollfd fds[2] = {{signals_.Fd(), POLLIN, 0}, {line_->Fd(), POLLIN, 0}};
    if (::poll(fds, 2, timeout) < 0) {
      if (errno == EINTR) continue;
      throw std::runtime_error("poll failed");
    }
    if (fds[0].revents) {
      TakeSignals();
      if (stop_) break;
    }
    if (fds[1].revents) {
      Bytes bytes = ReadAvailable(*line_);
      if (!bytes.empty()) {
        pending.insert(pending.end(), bytes.begin(), bytes.end());
        lastByte = Clock::now();
      }
    }
    if (!pending.empty() && (Clock::now() - lastByte >= gap || pending.size() > kLongestFrame)) {
      Bytes frame;
      frame.swap(pending);
      HandleFrame(frame);
    }
  }
}

void Simulator::HandleFrame(const Bytes& frame) {
  log_.Received(frame);
  if (!LineMatchesDevice()) {
    ++ignored_;
    return;
  }
  engine_.SetSlave(meter_.SlaveId());
  auto received = engine_.Receive(frame);
  if (received.status != ModbusEngine::Received::Status::Request) {
    ++ignored_;
    log_.Event("ignored: " + received.reason);
    return;
  }
  if (received.request[0] == 0) {
    Handled handled = HandleRequest(engine_, meter_, received.request, Clock::now());
    log_.Event("broadcast, not answered" + (handled.note.empty() ? "" : ": " + handled.note));
    return;
  }
  Answer(received.request, ++requests_);
}

bool Simulator::LineMatchesDevice() {
  auto settings = line_->MasterSettings();
  if (!settings) return true;
  if (!lastSettings_ || *lastSettings_ != *settings) {
    log_.Event("line set to " + Describe(*settings) + " by the master");
    lastSettings_ = settings;
  }
  std::string mismatch;
  if (settings->baud != meter_.Baud())
    mismatch = "line at " + std::to_string(settings->baud) + " baud, device at " + std::to_string(meter_.Baud());
  else if (options_.requiredStopBits != 0 && settings->stopBits != options_.requiredStopBits)
    mismatch = "line with " + std::to_string(settings->stopBits) + " stop bits, device needs " +
               std::to_string(options_.requiredStopBits);
  if (mismatch.empty()) return true;
  log_.Event("ignored (not heard): " + mismatch);
  return false;
}

void Simulator::Answer(const Bytes& request, std::uint64_t number) {
  const std::string tag = "request #" + std::to_string(number);
  const FaultSet faults = EffectiveFaults(faults_.Decide(number));
  if (ReplacedReply(faults, tag)) return;

  std::string applied;
  const std::uint16_t baudBefore = meter_.Baud();
  Handled handled;
  if (Has(faults, FaultKind::Exception)) {
    Mark(FaultKind::Exception, applied);
    handled.reply = engine_.ReplyException(request, options_.faults.exceptionCode);
  } else {
    handled = HandleRequest(engine_, meter_, request, Clock::now());
  }
  Bytes reply = Mangled(std::move(handled.reply), faults, request[0], applied);
  if (!Deliver(reply, faults, applied.empty() ? tag : tag + "; " + applied)) return;
  ++answered_;
  if (!handled.note.empty()) log_.Event(tag + ": " + handled.note);
  if (meter_.Baud() != baudBefore) line_->SetRate(meter_.Baud());
}

bool Simulator::ReplacedReply(const FaultSet& faults, const std::string& tag) {
  if (Has(faults, FaultKind::Hangup)) {
    faults_.Count(FaultKind::Hangup);
    log_.Event(tag + ": fault hangup, no reply");
    HangUpAndReturn();
    return true;
  }
  if (Has(faults, FaultKind::Silence)) {
    faults_.Count(FaultKind::Silence);
    log_.Event(tag + ": fault silence, no reply");
    return true;
  }
  if (Has(faults, FaultKind::Babble)) {
    faults_.Count(FaultKind::Babble);
    log_.Event(tag + ": fault babble, no reply");
    Babble();
    return true;
  }
  return false;
}

void Simulator::Mark(FaultKind kind, std::string& applied) {
  faults_.Count(kind);
  applied += applied.empty() ? "fault " : " + ";
  applied += FaultName(kind);
}

Bytes Simulator::Mangled(Bytes reply, const FaultSet& faults, std::uint8_t slaveId, std::string& applied) {
  const FaultSettings& settings = options_.faults;
  if (Has(faults, FaultKind::Foreign)) {
    Mark(FaultKind::Foreign, applied);
    reply = FromOtherSlave(std::move(reply), settings.foreignId.value_or(static_cast<std::uint8_t>(slaveId % 247 + 1)));
  }
  if (Has(faults, FaultKind::BadCrc)) {
    Mark(FaultKind::BadCrc, applied);
    reply = WithBadCrc(std::move(reply));
  }
  if (Has(faults, FaultKind::ShortReply)) {
    Mark(FaultKind::ShortReply, applied);
    reply = Truncated(std::move(reply), settings.shortLength);
  }
  return reply;
}

bool Simulator::Deliver(const Bytes& reply, const FaultSet& faults, std::string note) {
  const FaultSettings& settings = options_.faults;
  if (Has(faults, FaultKind::Delay)) {
    faults_.Count(FaultKind::Delay);
    note += note.find("fault ") == std::string::npos ? "; fault delay" : " + delay";
    log_.Event(note + ": replying in " + SecondsText(settings.delaySeconds));
    if (!Pause(SecondsOf(settings.delaySeconds))) return false;
  }
  if (!Has(faults, FaultKind::Split)) {
    Send(reply, note);
    return true;
  }
  faults_.Count(FaultKind::Split);
  note += note.find("fault ") == std::string::npos ? "; fault split" : " + split";
  auto [first, second] = SplitInTwo(reply, settings.splitAt);
  Send(first, note + " (part 1 of 2)");
  if (!Pause(SecondsOf(settings.splitGapSeconds))) return false;
  Send(second, note + " (part 2 of 2)");
  return true;
}

void Simulator::Send(const Bytes& bytes, const std::string& note) {
  std::size_t written = WriteLine(*line_, bytes);
  log_.Sent(std::span(bytes).first(written), note);
  if (written < bytes.size()) log_.Event("line full: " + std::to_string(bytes.size() - written) + " bytes dropped");
}

void Simulator::Babble() {
  // Random bytes paced at the line rate: 8N2 framing puts 11 bits on the
  // line per byte, so 9600 baud carries 872 bytes a second, 8.7 per 10 ms
  // slice; 8 are sent per slice (17 at 19200).
  const auto slice = milliseconds(10);
  const std::size_t perSlice = std::max<std::size_t>(1, meter_.Baud() / 11 / 100);
  const auto end = Clock::now() + SecondsOf(options_.faults.babbleSeconds);
  std::uniform_int_distribution<int> byte(0, 255);
  while (Clock::now() < end) {
    Bytes chunk(perSlice);
    for (auto& b : chunk) b = static_cast<std::uint8_t>(byte(babbleRandom_));
    Send(chunk, "babble");
    if (!Pause(slice)) return;
  }
  Bytes lost = ReadAvailable(*line_);
  if (!lost.empty()) log_.Event("lost while babbling: " + ToHex(lost));
}

void Simulator::HangUpAndReturn() {
  line_->HangUp();
  log_.Event("hung up " + line_->Path() + ", back in " + SecondsText(options_.faults.hangupSeconds));
  if (!Pause(SecondsOf(options_.faults.hangupSeconds))) return;
  line_->ComeBack();
  lastSettings_.reset();
  if (link_) link_->PointTo(line_->Path());
  log_.Event("line back on " + line_->Path());
  AnnouncePath();
}

void Simulator::AnnouncePath() {
  std::fprintf(announceTo_, "%s\n", line_->Path().c_str());
  std::fflush(announceTo_);
}

void Simulator::Report() {
  std::string text = "dornvel-sim: " + Counters();
  log_.Event(text);
  if (!log_.WritesTo(stderr)) {
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
  }
}

std::string Simulator::Counters() const {
  return "requests=" + std::to_string(requests_) + " answered=" + std::to_string(answered_) +
         " ignored=" + std::to_string(ignored_) + " faults: " + faults_.Summary();
}

bool Simulator::Pause(Clock::duration length) {
  const auto end = Clock::now() + length;
  while (!stop_) {
    auto left = end - Clock::now();
    if (left <= Clock::duration::zero()) return true;
    pollfd signal{signals_.Fd(), POLLIN, 0};
    if (::poll(&signal, 1, PollTimeoutMs(left)) > 0) TakeSignals();
  }
  return false;
}

void Simulator::TakeSignals() {
  switch (signals_.Take()) {
    case SignalPipe::Request::Stop: stop_ = true; break;
    case SignalPipe::Request::Report: Report(); break;
    case SignalPipe::Request::None: break;
  }
}

}  // namespace dornvel::sim
