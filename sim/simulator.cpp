#include "sim/simulator.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <stdexcept>
#include <vector>

#include "sim/collision.h"
#include "sim/line_timing.h"
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

// Waits for `fds` up to `left` (for ever when empty) with the clock's
// resolution, since a timed line paces bytes a fraction of a millisecond apart.
int PollFor(pollfd* fds, nfds_t count, std::optional<Clock::duration> left) {
  timespec timeout{};
  if (left) {
    const auto wait = std::max(*left, Clock::duration::zero());
    const auto whole = duration_cast<seconds>(wait);
    timeout.tv_sec = static_cast<time_t>(whole.count());
    timeout.tv_nsec = static_cast<long>(duration_cast<nanoseconds>(wait - whole).count());
  }
  return ::ppoll(fds, count, left ? &timeout : nullptr, nullptr);
}

std::vector<Meter> MakeMeters(const Options& options, std::uint64_t seed) {
  std::vector<Meter> meters;
  for (const MeterSpec& meter : MetersOf(options)) {
    Meter::Settings settings;
    settings.slaveId = meter.slaveId;
    settings.baud = meter.baud;
    settings.jumper = options.jumper;
    settings.refusedWriteCode = options.refusedWriteCode;
    settings.switchValue = options.switchValue;
    // Each drifting meter walks its own way: the seed moves on per meter.
    Resistance resistance = meter.resistance
                                ? Resistance::Fixed(*meter.resistance)
                                : Resistance::Drifting(options.driftCentre, seed + meters.size(), Clock::now());
    meters.emplace_back(settings, std::move(resistance));
  }
  return meters;
}

// A frame longer than any Modbus RTU frame is noise; it is handed on (and
// refused) rather than collected for ever.
constexpr std::size_t kLongestFrame = 256;

// The single meter's frame gap, long enough for a master that writes a frame
// in pieces.
constexpr auto kSingleMeterFrameGap = milliseconds(20);

}  // namespace

Simulator::Simulator(const Options& options, std::uint64_t seed, std::unique_ptr<Line> line, LinkPointer* link,
                     TrafficLog& log, SignalPipe& signals, std::FILE* announceTo)
    : options_(options),
      line_(std::move(line)),
      link_(link),
      log_(log),
      signals_(signals),
      announceTo_(announceTo),
      meters_(MakeMeters(options, seed)),
      timed_(!options.meters.empty()),
      faults_(options.faults.triggers, seed),
      babbleRandom_(seed ^ 0x9E3779B97F4A7C15ull),
      collisionRandom_(seed ^ 0xC2B2AE3D27D4EB4Full) {}

void Simulator::Run() {
  AnnouncePath();
  Bytes pending;
  Clock::time_point firstByte{};
  Clock::time_point lastByte{};
  Clock::duration gap = FrameGap();
  while (!stop_) {
    std::optional<Clock::duration> timeout;
    if (!pending.empty()) timeout = lastByte + gap - Clock::now();
    pollfd fds[2] = {{signals_.Fd(), POLLIN, 0}, {line_->Fd(), POLLIN, 0}};
    if (PollFor(fds, 2, timeout) < 0) {
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
        lastByte = Clock::now();
        if (pending.empty()) {
          firstByte = lastByte;
          gap = FrameGap();
        }
        pending.insert(pending.end(), bytes.begin(), bytes.end());
      }
    }
    if (!pending.empty() && (Clock::now() - lastByte >= gap || pending.size() > kLongestFrame)) {
      Bytes frame;
      frame.swap(pending);
      HandleFrame(frame, firstByte);
    }
  }
}

Clock::duration Simulator::FrameGap() const {
  if (options_.frameGapMs) return milliseconds(*options_.frameGapMs);
  if (!timed_) return kSingleMeterFrameGap;
  auto settings = line_->MasterSettings();
  return InterFrameSilence(settings && settings->baud ? settings->baud : meters_.front().Baud());
}

void Simulator::HandleFrame(const Bytes& frame, Clock::time_point arrived) {
  log_.Received(frame);
  const auto settings = line_->MasterSettings();
  if (settings && (!lastSettings_ || *lastSettings_ != *settings)) {
    log_.Event("line set to " + Describe(*settings) + " by the master");
    lastSettings_ = settings;
  }
  const unsigned baud = settings && settings->baud ? settings->baud : meters_.front().Baud();
  // An echoing adapter hands back each byte as it leaves, heard or not.
  if (options_.echo && !Transmit(frame, {arrived, baud}, "echo")) return;
  std::vector<Meter*> hearing = MetersHearing(settings);
  if (hearing.empty()) {
    ++ignored_;
    return;
  }
  // Any meter hearing the request at its address decides, through
  // libmodbus, whether the frame is a request; one of the others otherwise,
  // which refuses it as addressed to another slave.
  Meter* judge = hearing.front();
  for (Meter* meter : hearing)
    if (meter->SlaveId() == frame[0]) judge = meter;
  engine_.SetSlave(judge->SlaveId());
  auto received = engine_.Receive(frame);
  if (received.status != ModbusEngine::Received::Status::Request) {
    ++ignored_;
    log_.Event("ignored: " + received.reason);
    return;
  }
  const bool broadcast = received.request[0] == 0;
  std::vector<Meter*> addressed;
  for (Meter* meter : hearing)
    if (broadcast || meter->SlaveId() == received.request[0]) addressed.push_back(meter);
  if (broadcast) {
    std::string notes;
    Replies(received.request, addressed, false, notes);
    log_.Event("broadcast, not answered" + (notes.empty() ? "" : ": " + notes));
    return;
  }
  const Clock::time_point start =
      timed_ ? arrived + LineTime(frame.size(), baud) + milliseconds(options_.turnaroundMs) : Clock::now();
  Answer(received.request, ++requests_, addressed, {start, baud});
}

std::vector<Meter*> Simulator::MetersHearing(const std::optional<LineSettings>& settings) {
  std::vector<Meter*> hearing;
  if (!settings) {
    for (Meter& meter : meters_) hearing.push_back(&meter);
    return hearing;
  }
  for (Meter& meter : meters_)
    if (meter.Baud() == settings->baud) hearing.push_back(&meter);
  std::string mismatch;
  if (hearing.empty() && meters_.size() == 1)
    mismatch =
        "line at " + std::to_string(settings->baud) + " baud, device at " + std::to_string(meters_.front().Baud());
  else if (hearing.empty())
    mismatch = "line at " + std::to_string(settings->baud) + " baud, no meter at that rate";
  else if (options_.requiredStopBits != 0 && settings->stopBits != options_.requiredStopBits)
    mismatch = "line with " + std::to_string(settings->stopBits) + " stop bits, device needs " +
               std::to_string(options_.requiredStopBits);
  if (mismatch.empty()) return hearing;
  log_.Event("ignored (not heard): " + mismatch);
  return {};
}

void Simulator::Answer(const Bytes& request, std::uint64_t number, const std::vector<Meter*>& answering,
                       ReplyTiming timing) {
  const std::string tag = "request #" + std::to_string(number);
  const FaultSet faults = EffectiveFaults(faults_.Decide(number));
  if (ReplacedReply(faults, tag, timing.baud)) return;

  std::string applied;
  const std::uint16_t baudBefore = answering.front()->Baud();
  const bool exception = Has(faults, FaultKind::Exception);
  if (exception) Mark(FaultKind::Exception, applied);
  std::string notes;
  std::vector<Bytes> replies = Replies(request, answering, exception, notes);
  Bytes reply = replies.front();
  if (replies.size() > 1) {
    ++collisions_;
    reply = Collide(replies, collisionRandom_);
    applied += (applied.empty() ? "" : "; ") + std::to_string(replies.size()) + " meters collide";
  }
  reply = Mangled(std::move(reply), faults, request[0], applied);
  if (!Deliver(reply, faults, applied.empty() ? tag : tag + "; " + applied, timing)) return;
  ++answered_;
  if (!notes.empty()) log_.Event(tag + ": " + notes);
  if (!timed_ && meters_.front().Baud() != baudBefore) line_->SetRate(meters_.front().Baud());
}

std::vector<Bytes> Simulator::Replies(const Bytes& request, const std::vector<Meter*>& meters, bool exception,
                                      std::string& notes) {
  std::vector<Bytes> replies;
  for (Meter* meter : meters) {
    Handled handled;
    if (exception) {
      handled.reply = engine_.ReplyException(request, options_.faults.exceptionCode);
    } else {
      engine_.SetSlave(meter->SlaveId());
      handled = HandleRequest(engine_, *meter, request, Clock::now());
    }
    replies.push_back(std::move(handled.reply));
    if (handled.note.empty()) continue;
    if (!notes.empty()) notes += "; ";
    if (timed_) notes += "meter " + std::to_string(meter - meters_.data() + 1) + ": ";
    notes += handled.note;
  }
  return replies;
}

bool Simulator::ReplacedReply(const FaultSet& faults, const std::string& tag, unsigned baud) {
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
    Babble(baud);
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

bool Simulator::Deliver(const Bytes& reply, const FaultSet& faults, std::string note, ReplyTiming timing) {
  const FaultSettings& settings = options_.faults;
  if (Has(faults, FaultKind::Delay)) {
    faults_.Count(FaultKind::Delay);
    note += note.find("fault ") == std::string::npos ? "; fault delay" : " + delay";
    log_.Event(note + ": replying in " + SecondsText(settings.delaySeconds));
    timing.start = std::max(timing.start, Clock::now()) + SecondsOf(settings.delaySeconds);
  }
  if (!Has(faults, FaultKind::Split)) return Transmit(reply, timing, note);
  faults_.Count(FaultKind::Split);
  note += note.find("fault ") == std::string::npos ? "; fault split" : " + split";
  auto [first, second] = SplitInTwo(reply, settings.splitAt);
  if (!Transmit(first, timing, note + " (part 1 of 2)")) return false;
  timing.start = Clock::now() + SecondsOf(settings.splitGapSeconds);
  return Transmit(second, timing, note + " (part 2 of 2)");
}

bool Simulator::Transmit(const Bytes& bytes, ReplyTiming timing, const std::string& note) {
  if (!timed_) {
    if (!PauseUntil(timing.start)) return false;
    Send(bytes, note);
    return true;
  }
  // Byte i has arrived once i + 1 characters' time has passed; a late wake-up
  // sends every byte that is due at once, so the reply never ends late.
  const auto character = LineTime(1, timing.baud);
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    if (!PauseUntil(timing.start + character * (sent + 1))) return false;
    const auto due = static_cast<std::size_t>((Clock::now() - timing.start) / character);
    const std::size_t end = std::clamp<std::size_t>(due, sent + 1, bytes.size());
    const std::size_t written = WriteLine(*line_, std::span(bytes).subspan(sent, end - sent));
    sent += written;
    if (sent < end) break;
  }
  LogSent(bytes, sent, note);
  return true;
}

void Simulator::Send(const Bytes& bytes, const std::string& note) { LogSent(bytes, WriteLine(*line_, bytes), note); }

void Simulator::LogSent(const Bytes& bytes, std::size_t written, const std::string& note) {
  log_.Sent(std::span(bytes).first(written), note);
  if (written < bytes.size()) log_.Event("line full: " + std::to_string(bytes.size() - written) + " bytes dropped");
}

void Simulator::Babble(unsigned baud) {
  // Random bytes paced at the line rate: 9600 baud carries 872 bytes a
  // second, 8.7 per 10 ms slice; 8 are sent per slice (17 at 19200).
  const auto slice = milliseconds(10);
  const std::size_t perSlice = std::max<std::size_t>(1, baud / kBitsPerCharacter / 100);
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
         " ignored=" + std::to_string(ignored_) + " collisions=" + std::to_string(collisions_) +
         " faults: " + faults_.Summary();
}

bool Simulator::PauseUntil(Clock::time_point end) {
  while (!stop_) {
    auto left = end - Clock::now();
    if (left <= Clock::duration::zero()) return true;
    pollfd signal{signals_.Fd(), POLLIN, 0};
    if (PollFor(&signal, 1, left) > 0) TakeSignals();
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
