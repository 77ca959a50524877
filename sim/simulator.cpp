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

Clock::duration seconds_of(double seconds) { return duration_cast<Clock::duration>(duration<double>(seconds)); }

std::string seconds_text(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%g s", seconds);
  return text;
}

int poll_timeout_ms(Clock::duration left) {
  if (left <= Clock::duration::zero()) return 0;
  return static_cast<int>(ceil<milliseconds>(left).count());
}

Resistance resistance_for(const Options& options, std::uint64_t seed) {
  if (options.resistance) return Resistance::fixed(*options.resistance);
  return Resistance::drifting(options.drift_centre, seed, Clock::now());
}

Meter::Settings meter_settings(const Options& options) {
  Meter::Settings settings;
  settings.slave_id = options.slave_id;
  settings.baud = options.baud;
  settings.jumper = options.jumper;
  settings.refused_write_code = options.refused_write_code;
  settings.switch_value = options.switch_value;
  return settings;
}

// A frame longer than any Modbus RTU frame is noise; it is handed on (and
// refused) rather than collected for ever.
constexpr std::size_t longest_frame = 256;

}  // namespace

Simulator::Simulator(const Options& options, std::uint64_t seed, std::unique_ptr<Line> line, LinkPointer* link,
                     TrafficLog& log, SignalPipe& signals, std::FILE* announce_to)
    : options_(options),
      line_(std::move(line)),
      link_(link),
      log_(log),
      signals_(signals),
      announce_to_(announce_to),
      meter_(meter_settings(options), resistance_for(options, seed)),
      faults_(options.faults.triggers, seed),
      babble_random_(seed ^ 0x9E3779B97F4A7C15ull) {
  engine_.set_slave(meter_.slave_id());
}

void Simulator::run() {
  announce_path();
  const auto gap = milliseconds(options_.frame_gap_ms);
  Bytes pending;
  Clock::time_point last_byte{};
  while (!stop_) {
    int timeout = pending.empty() ? -1 : poll_timeout_ms(last_byte + gap - Clock::now());
    pollfd fds[2] = {{signals_.fd(), POLLIN, 0}, {line_->fd(), POLLIN, 0}};
    if (::poll(fds, 2, timeout) < 0) {
      if (errno == EINTR) continue;
      throw std::runtime_error("poll failed");
    }
    if (fds[0].revents) {
      take_signals();
      if (stop_) break;
    }
    if (fds[1].revents) {
      Bytes bytes = read_available(*line_);
      if (!bytes.empty()) {
        pending.insert(pending.end(), bytes.begin(), bytes.end());
        last_byte = Clock::now();
      }
    }
    if (!pending.empty() && (Clock::now() - last_byte >= gap || pending.size() > longest_frame)) {
      Bytes frame;
      frame.swap(pending);
      handle_frame(frame);
    }
  }
}

void Simulator::handle_frame(const Bytes& frame) {
  log_.received(frame);
  if (!line_matches_device()) {
    ++ignored_;
    return;
  }
  engine_.set_slave(meter_.slave_id());
  auto received = engine_.receive(frame);
  if (received.status != ModbusEngine::Received::Status::request) {
    ++ignored_;
    log_.event("ignored: " + received.reason);
    return;
  }
  if (received.request[0] == 0) {
    Handled handled = handle_request(engine_, meter_, received.request, Clock::now());
    log_.event("broadcast, not answered" + (handled.note.empty() ? "" : ": " + handled.note));
    return;
  }
  answer(received.request, ++requests_);
}

bool Simulator::line_matches_device() {
  auto settings = line_->master_settings();
  if (!settings) return true;
  if (!last_settings_ || *last_settings_ != *settings) {
    log_.event("line set to " + describe(*settings) + " by the master");
    last_settings_ = settings;
  }
  std::string mismatch;
  if (settings->baud != meter_.baud())
    mismatch = "line at " + std::to_string(settings->baud) + " baud, device at " + std::to_string(meter_.baud());
  else if (options_.required_stop_bits != 0 && settings->stop_bits != options_.required_stop_bits)
    mismatch = "line with " + std::to_string(settings->stop_bits) + " stop bits, device needs " +
               std::to_string(options_.required_stop_bits);
  if (mismatch.empty()) return true;
  log_.event("ignored (not heard): " + mismatch);
  return false;
}

void Simulator::answer(const Bytes& request, std::uint64_t number) {
  const std::string tag = "request #" + std::to_string(number);
  const FaultSet faults = effective_faults(faults_.decide(number));
  if (replaced_reply(faults, tag)) return;

  std::string applied;
  const std::uint16_t baud_before = meter_.baud();
  Handled handled;
  if (has(faults, FaultKind::exception)) {
    mark(FaultKind::exception, applied);
    handled.reply = engine_.reply_exception(request, options_.faults.exception_code);
  } else {
    handled = handle_request(engine_, meter_, request, Clock::now());
  }
  Bytes reply = mangled(std::move(handled.reply), faults, request[0], applied);
  if (!deliver(reply, faults, applied.empty() ? tag : tag + "; " + applied)) return;
  ++answered_;
  if (!handled.note.empty()) log_.event(tag + ": " + handled.note);
  if (meter_.baud() != baud_before) line_->set_rate(meter_.baud());
}

bool Simulator::replaced_reply(const FaultSet& faults, const std::string& tag) {
  if (has(faults, FaultKind::hangup)) {
    faults_.count(FaultKind::hangup);
    log_.event(tag + ": fault hangup, no reply");
    hang_up_and_return();
    return true;
  }
  if (has(faults, FaultKind::silence)) {
    faults_.count(FaultKind::silence);
    log_.event(tag + ": fault silence, no reply");
    return true;
  }
  if (has(faults, FaultKind::babble)) {
    faults_.count(FaultKind::babble);
    log_.event(tag + ": fault babble, no reply");
    babble();
    return true;
  }
  return false;
}

void Simulator::mark(FaultKind kind, std::string& applied) {
  faults_.count(kind);
  applied += applied.empty() ? "fault " : " + ";
  applied += fault_name(kind);
}

Bytes Simulator::mangled(Bytes reply, const FaultSet& faults, std::uint8_t slave_id, std::string& applied) {
  const FaultSettings& settings = options_.faults;
  if (has(faults, FaultKind::foreign)) {
    mark(FaultKind::foreign, applied);
    reply =
        from_other_slave(std::move(reply), settings.foreign_id.value_or(static_cast<std::uint8_t>(slave_id % 247 + 1)));
  }
  if (has(faults, FaultKind::bad_crc)) {
    mark(FaultKind::bad_crc, applied);
    reply = with_bad_crc(std::move(reply));
  }
  if (has(faults, FaultKind::short_reply)) {
    mark(FaultKind::short_reply, applied);
    reply = truncated(std::move(reply), settings.short_length);
  }
  return reply;
}

bool Simulator::deliver(const Bytes& reply, const FaultSet& faults, std::string note) {
  const FaultSettings& settings = options_.faults;
  if (has(faults, FaultKind::delay)) {
    faults_.count(FaultKind::delay);
    note += note.find("fault ") == std::string::npos ? "; fault delay" : " + delay";
    log_.event(note + ": replying in " + seconds_text(settings.delay_seconds));
    if (!pause(seconds_of(settings.delay_seconds))) return false;
  }
  if (!has(faults, FaultKind::split)) {
    send(reply, note);
    return true;
  }
  faults_.count(FaultKind::split);
  note += note.find("fault ") == std::string::npos ? "; fault split" : " + split";
  auto [first, second] = split_in_two(reply, settings.split_at);
  send(first, note + " (part 1 of 2)");
  if (!pause(seconds_of(settings.split_gap_seconds))) return false;
  send(second, note + " (part 2 of 2)");
  return true;
}

void Simulator::send(const Bytes& bytes, const std::string& note) {
  std::size_t written = write_line(*line_, bytes);
  log_.sent(std::span(bytes).first(written), note);
  if (written < bytes.size()) log_.event("line full: " + std::to_string(bytes.size() - written) + " bytes dropped");
}

void Simulator::babble() {
  // Random bytes paced at the line rate: 8N2 framing puts 11 bits on the
  // line per byte, so 9600 baud carries 872 bytes a second, 8.7 per 10 ms
  // slice; 8 are sent per slice (17 at 19200).
  const auto slice = milliseconds(10);
  const std::size_t per_slice = std::max<std::size_t>(1, meter_.baud() / 11 / 100);
  const auto end = Clock::now() + seconds_of(options_.faults.babble_seconds);
  std::uniform_int_distribution<int> byte(0, 255);
  while (Clock::now() < end) {
    Bytes chunk(per_slice);
    for (auto& b : chunk) b = static_cast<std::uint8_t>(byte(babble_random_));
    send(chunk, "babble");
    if (!pause(slice)) return;
  }
  Bytes lost = read_available(*line_);
  if (!lost.empty()) log_.event("lost while babbling: " + to_hex(lost));
}

void Simulator::hang_up_and_return() {
  line_->hang_up();
  log_.event("hung up " + line_->path() + ", back in " + seconds_text(options_.faults.hangup_seconds));
  if (!pause(seconds_of(options_.faults.hangup_seconds))) return;
  line_->come_back();
  last_settings_.reset();
  if (link_) link_->point_to(line_->path());
  log_.event("line back on " + line_->path());
  announce_path();
}

void Simulator::announce_path() {
  std::fprintf(announce_to_, "%s\n", line_->path().c_str());
  std::fflush(announce_to_);
}

void Simulator::report() {
  std::string text = "dornvel-sim: " + counters();
  log_.event(text);
  if (!log_.writes_to(stderr)) {
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
  }
}

std::string Simulator::counters() const {
  return "requests=" + std::to_string(requests_) + " answered=" + std::to_string(answered_) +
         " ignored=" + std::to_string(ignored_) + " faults: " + faults_.summary();
}

bool Simulator::pause(Clock::duration length) {
  const auto end = Clock::now() + length;
  while (!stop_) {
    auto left = end - Clock::now();
    if (left <= Clock::duration::zero()) return true;
    pollfd signal{signals_.fd(), POLLIN, 0};
    if (::poll(&signal, 1, poll_timeout_ms(left)) > 0) take_signals();
  }
  return false;
}

void Simulator::take_signals() {
  switch (signals_.take()) {
    case SignalPipe::Request::stop: stop_ = true; break;
    case SignalPipe::Request::report: report(); break;
    case SignalPipe::Request::none: break;
  }
}

}  // namespace dornvel::sim
