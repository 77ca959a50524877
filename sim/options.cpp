#include "sim/options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <vector>

#include "sim/meter.h"

namespace dornvel::sim {

namespace {

template <typename Number>
std::optional<Number> NumberFrom(std::string_view text) {
  Number value{};
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

std::optional<long> WholeIn(std::string_view text, long low, long high) {
  auto value = NumberFrom<long>(text);
  if (!value || *value < low || *value > high) return std::nullopt;
  return value;
}

std::optional<double> SecondsFrom(std::string_view text) {
  auto value = NumberFrom<double>(text);
  if (!value || !std::isfinite(*value) || *value < 0.0 || *value > 3600.0) return std::nullopt;
  return value;
}

// A handler returns the refusal text, or an empty string when it took the value.
using Handler = std::function<std::string(Options&, std::string_view)>;

struct OptionSpec {
  std::string_view name;
  bool takesValue;
  Handler handle;
};

std::string Expected(std::string_view what) { return "expects " + std::string(what); }

Handler TriggerOf(FaultKind kind) {
  return [kind](Options& options, std::string_view value) -> std::string {
    auto trigger = ParseTrigger(value);
    if (!trigger) return Expected("a probability (0.1 or 10%), every:N or at:N[,M...]");
    options.faults.triggers[static_cast<std::size_t>(kind)] = *trigger;
    return {};
  };
}

Handler SecondsInto(double FaultSettings::*field) {
  return [field](Options& options, std::string_view value) -> std::string {
    auto seconds = SecondsFrom(value);
    if (!seconds) return Expected("seconds from 0 to 3600, e.g. 0.5");
    options.faults.*field = *seconds;
    return {};
  };
}

// Up to a second, from `least` on.
template <typename Field>
Handler MillisecondsInto(Field Options::*field, long least) {
  return [field, least](Options& options, std::string_view value) -> std::string {
    auto ms = WholeIn(value, least, 1000);
    if (!ms) return Expected("milliseconds from " + std::to_string(least) + " to 1000");
    options.*field = static_cast<int>(*ms);
    return {};
  };
}

const std::vector<OptionSpec>& OptionSpecs() {
  static const std::vector<OptionSpec> kSpecs = {
      {"link", true,
       [](Options& o, std::string_view v) -> std::string {
         if (v.empty()) return Expected("a path");
         o.link = std::string(v);
         return {};
       }},
      {"device", true,
       [](Options& o, std::string_view v) -> std::string {
         if (v.empty()) return Expected("a path");
         o.device = std::string(v);
         return {};
       }},
      {"slave", true,
       [](Options& o, std::string_view v) -> std::string {
         auto id = WholeIn(v, 1, 247);
         if (!id) return Expected("a slave id from 1 to 247");
         o.slaveId = static_cast<std::uint8_t>(*id);
         return {};
       }},
      {"baud", true,
       [](Options& o, std::string_view v) -> std::string {
         auto baud = NumberFrom<long>(v);
         if (!baud || !IsValidBaud(*baud)) return Expected("9600 or 19200");
         o.baud = static_cast<std::uint16_t>(*baud);
         return {};
       }},
      {"jumper", false,
       [](Options& o, std::string_view) -> std::string {
         o.jumper = true;
         return {};
       }},
      {"refuse-code", true,
       [](Options& o, std::string_view v) -> std::string {
         auto code = WholeIn(v, 1, 255);
         if (!code) return Expected("an exception code from 1 to 255");
         o.refusedWriteCode = static_cast<std::uint8_t>(*code);
         return {};
       }},
      {"resistance", true,
       [](Options& o, std::string_view v) -> std::string {
         auto value = NumberFrom<float>(v);
         if (!value || !std::isfinite(*value)) return Expected("a number of kilohms, e.g. 12.5");
         o.resistance = *value;
         return {};
       }},
      {"drift-around", true,
       [](Options& o, std::string_view v) -> std::string {
         auto value = NumberFrom<float>(v);
         if (!value || !std::isfinite(*value) || *value <= 0.0f) return Expected("a positive number of kilohms");
         o.driftCentre = *value;
         return {};
       }},
      {"switch", true,
       [](Options& o, std::string_view v) -> std::string {
         auto value = WholeIn(v, -32768, 65535);
         if (!value) return Expected("a 16-bit value from -32768 to 65535");
         o.switchValue = static_cast<std::uint16_t>(*value);
         return {};
       }},
      {"seed", true,
       [](Options& o, std::string_view v) -> std::string {
         auto value = NumberFrom<std::uint64_t>(v);
         if (!value) return Expected("a whole number from 0 to 18446744073709551615");
         o.seed = *value;
         return {};
       }},
      {"log", true,
       [](Options& o, std::string_view v) -> std::string {
         if (v.empty()) return Expected("a file name or - for standard error");
         o.log = std::string(v);
         return {};
       }},
      {"frame-gap", true, MillisecondsInto(&Options::frameGapMs, 1)},
      {"meter", true,
       [](Options& o, std::string_view v) -> std::string {
         auto meter = ParseMeterSpec(v);
         if (!meter) return Expected("ID[@RATE][:KOHM]: a slave id from 1 to 247, 9600 or 19200, kilohms");
         o.meters.push_back(*meter);
         return {};
       }},
      {"turnaround", true, MillisecondsInto(&Options::turnaroundMs, 0)},
      {"echo", false,
       [](Options& o, std::string_view) -> std::string {
         o.echo = true;
         return {};
       }},
      {"stop-bits", true,
       [](Options& o, std::string_view v) -> std::string {
         if (v == "any")
           o.requiredStopBits = 0;
         else if (v == "1" || v == "2")
           o.requiredStopBits = v == "1" ? 1 : 2;
         else
           return Expected("any, 1 or 2");
         return {};
       }},
      {"silence", true, TriggerOf(FaultKind::Silence)},
      {"delay", true, TriggerOf(FaultKind::Delay)},
      {"bad-crc", true, TriggerOf(FaultKind::BadCrc)},
      {"foreign", true, TriggerOf(FaultKind::Foreign)},
      {"exception", true, TriggerOf(FaultKind::Exception)},
      {"split", true, TriggerOf(FaultKind::Split)},
      {"short", true, TriggerOf(FaultKind::ShortReply)},
      {"babble", true, TriggerOf(FaultKind::Babble)},
      {"hangup", true, TriggerOf(FaultKind::Hangup)},
      {"delay-time", true, SecondsInto(&FaultSettings::delaySeconds)},
      {"split-gap", true, SecondsInto(&FaultSettings::splitGapSeconds)},
      {"babble-time", true, SecondsInto(&FaultSettings::babbleSeconds)},
      {"hangup-time", true, SecondsInto(&FaultSettings::hangupSeconds)},
      {"exception-code", true,
       [](Options& o, std::string_view v) -> std::string {
         auto code = WholeIn(v, 0, 255);
         if (!code) return Expected("an exception code from 0 to 255");
         o.faults.exceptionCode = static_cast<std::uint8_t>(*code);
         return {};
       }},
      {"foreign-id", true,
       [](Options& o, std::string_view v) -> std::string {
         auto id = WholeIn(v, 0, 255);
         if (!id) return Expected("a slave address from 0 to 255");
         o.faults.foreignId = static_cast<std::uint8_t>(*id);
         return {};
       }},
      {"split-at", true,
       [](Options& o, std::string_view v) -> std::string {
         auto n = WholeIn(v, 1, 255);
         if (!n) return Expected("a byte count from 1 to 255");
         o.faults.splitAt = static_cast<std::size_t>(*n);
         return {};
       }},
      {"short-length", true,
       [](Options& o, std::string_view v) -> std::string {
         auto n = WholeIn(v, 1, 255);
         if (!n) return Expected("a byte count from 1 to 255");
         o.faults.shortLength = static_cast<std::size_t>(*n);
         return {};
       }},
  };
  return kSpecs;
}

// Why the options given do not go together; empty when they do.
std::string Conflict(const Options& options, const std::vector<std::string_view>& given) {
  auto was = [&given](std::string_view name) { return std::find(given.begin(), given.end(), name) != given.end(); };
  if (options.link && options.device) return "--link makes a link to the pseudo-terminal; it does not go with --device";
  if (options.meters.empty()) {
    if (was("turnaround")) return "--turnaround times a line of meters; it goes with --meter";
    return {};
  }
  for (std::string_view single : {"slave", "baud", "resistance"})
    if (was(single))
      return "--" + std::string(single) +
             " describes the single meter; with --meter give each meter's id, rate and "
             "resistance as ID[@RATE][:KOHM]";
  if (options.device) return "--meter needs the pseudo-terminal, whose speed the master sets; not --device";
  return {};
}

ParsedCommandLine Refuse(std::string message) {
  ParsedCommandLine parsed;
  parsed.action = ParsedCommandLine::Action::Refuse;
  parsed.message = std::move(message);
  return parsed;
}

}  // namespace

ParsedCommandLine ParseCommandLine(std::span<const std::string_view> arguments) {
  ParsedCommandLine parsed;
  parsed.action = ParsedCommandLine::Action::Run;
  std::vector<std::string_view> given;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string_view argument = arguments[i];
    if (argument == "--help" || argument == "-h") {
      parsed.action = ParsedCommandLine::Action::Help;
      return parsed;
    }
    if (argument == "--version") {
      parsed.action = ParsedCommandLine::Action::Version;
      return parsed;
    }
    if (!argument.starts_with("--")) return Refuse("unexpected argument '" + std::string(argument) + "'");
    std::string_view name = argument.substr(2);
    std::optional<std::string_view> inlineValue;
    if (auto equals = name.find('='); equals != std::string_view::npos) {
      inlineValue = name.substr(equals + 1);
      name = name.substr(0, equals);
    }
    const OptionSpec* option = nullptr;
    for (const OptionSpec& candidate : OptionSpecs())
      if (candidate.name == name) option = &candidate;
    if (!option) return Refuse("unknown option --" + std::string(name));
    std::string_view value;
    if (option->takesValue) {
      if (inlineValue)
        value = *inlineValue;
      else if (i + 1 < arguments.size())
        value = arguments[++i];
      else
        return Refuse("--" + std::string(name) + " needs a value");
    } else if (inlineValue) {
      return Refuse("--" + std::string(name) + " takes no value");
    }
    given.push_back(option->name);
    std::string refusal = option->handle(parsed.options, value);
    if (!refusal.empty())
      return Refuse("--" + std::string(name) + " " + refusal + ", not '" + std::string(value) + "'");
  }
  if (std::string conflict = Conflict(parsed.options, given); !conflict.empty()) return Refuse(conflict);
  return parsed;
}

std::optional<MeterSpec> ParseMeterSpec(std::string_view text) {
  MeterSpec meter;
  if (auto colon = text.find(':'); colon != std::string_view::npos) {
    auto kilohms = NumberFrom<float>(text.substr(colon + 1));
    if (!kilohms || !std::isfinite(*kilohms)) return std::nullopt;
    meter.resistance = *kilohms;
    text = text.substr(0, colon);
  }
  if (auto at = text.find('@'); at != std::string_view::npos) {
    auto baud = NumberFrom<long>(text.substr(at + 1));
    if (!baud || !IsValidBaud(*baud)) return std::nullopt;
    meter.baud = static_cast<std::uint16_t>(*baud);
    text = text.substr(0, at);
  }
  auto id = NumberFrom<long>(text);
  if (!id || !IsValidSlaveId(*id)) return std::nullopt;
  meter.slaveId = static_cast<std::uint8_t>(*id);
  return meter;
}

std::vector<MeterSpec> MetersOf(const Options& options) {
  if (!options.meters.empty()) return options.meters;
  return {MeterSpec{options.slaveId, options.baud, options.resistance}};
}

std::string HelpText() {
  return R"(Usage: dornvel-sim [OPTIONS]

Simulates the insulation-resistance meter: a Modbus RTU slave (libmodbus) on a
pseudo-terminal it creates, or on a serial port. Prints the path a master should
open as the first line of standard output (and again, one line each, whenever
the line comes back after a hang-up). Stops on SIGINT or SIGTERM, removing its
link and printing the counters to standard error; SIGUSR1 prints them at once.

Register map (addresses from 0):
  input 0-1    insulation resistance in kilohms, 32-bit float; register 0 holds
               the low 16 bits, register 1 the high 16 bits, each high byte
               first (12.5 = 0x41480000 -> 0x0000, 0x4148)
  input 2      protection switch value
  holding 0    the device's slave id, 1..247
  holding 1    the device's baud rate, 9600 or 19200
Functions 3 and 4 read, 6 and 16 write the holding registers. Writes are taken
only while the jumper JP is set (--jumper); without it the device answers with
exception 1 (illegal function: the device is in the wrong state for the
request; --refuse-code changes it). A slave id outside 1..247 or a baud rate
other than 9600 or 19200 is answered with exception 3 (illegal data value).
Addresses outside the map give exception 2, other functions exception 1. A new
slave id or baud rate takes effect from the next request; from then on
requests at the other rate go unanswered. Broadcasts (slave 0) are executed
and never answered.

Line:
  --link PATH          also make a symbolic link PATH to the pseudo-terminal
                       (re-pointed when the line comes back, removed on exit)
  --device PATH        serve on this serial port instead of a pseudo-terminal
                       (8 data bits, no parity, 2 stop bits at the device rate)
  --frame-gap MS       silence that ends a request frame (default 20; 3.5
                       characters on a line of meters)
  --stop-bits any|1|2  stop bits a request must be sent with (default any)
On a pseudo-terminal the simulator reads the settings the master put on the
line before answering each request: a request sent at a speed other than the
device's rate (or, with --stop-bits, with other stop bits) is not answered, as
on a real line. A Linux pseudo-terminal keeps no parity or data bits (it forces
8 bits, no parity), so those cannot be told apart there.

Device:
  --slave N            slave id, 1..247 (default 1)
  --baud N             baud rate, 9600 or 19200 (default 9600)
  --jumper             the jumper JP is set: holding registers are writable
  --refuse-code N      exception code for a write without JP (default 1)
  --resistance KOHM    fixed resistance; without it the value drifts slowly
  --drift-around KOHM  centre of the drifting value (default 1500)
  --switch N           protection switch value, -32768..65535 (default 0)

Line of meters (instead of --slave, --baud and --resistance):
  --meter ID[@RATE][:KOHM]
                       one more meter on the line, repeatable: slave id ID
                       (1..247) at RATE (9600 or 19200, default 9600) with a
                       fixed resistance KOHM (drifting without it); each has
                       its own holding registers. --jumper, --refuse-code,
                       --switch and --drift-around apply to every meter.
  --turnaround MS      a meter's reply starts MS after the request's last byte
                       has left the line (default 5, above the 3.5 characters
                       of silence that end a frame: 4.0 ms at 9600 baud, 2.0 ms
                       at 19200)
A line of meters is timed as a real one: the request is taken to arrive at its
line time, the reply follows after the turnaround and each of its bytes comes
when its line time has passed (1.146 ms a byte at 9600 baud, 0.573 ms at
19200), and a request ends with 3.5 characters of silence (--frame-gap to
change). A request is answered by every meter at its address whose rate is the
speed the master set. Meters sharing an id answer together and collide: their
drivers start a little apart and fight where their bits differ, so the master
reads bytes without a valid frame, new garbage on every retry. Faults apply to
the line's reply, counted over the requests any meter answers. Not with
--device.

Adapter (with one meter or a line):
  --echo               send every request back, byte for byte as it arrived,
                       before any reply, as a two-wire RS-485 adapter that
                       hears itself does; also when no meter answers

Faults. Each takes WHEN: a probability ("0.1" or "10%"), "every:N" (requests
N, 2N, 3N, ...) or "at:N[,M...]" (exactly those requests). Requests are
counted from 1 among those the device would answer (right slave, good CRC,
right line speed). Faults combine; a hang-up, silence or babbling replaces the
reply and suppresses the other faults of that request, and those three and
the exception leave a write unexecuted. The others are applied in this order:
exception, foreign, bad-crc, short, then delay and split.
  --silence WHEN       no reply
  --delay WHEN         reply late, after --delay-time seconds (default 0.5)
  --bad-crc WHEN       reply with its last (CRC high) byte inverted
  --foreign WHEN       reply as slave --foreign-id (default: id + 1, 247 -> 1),
                       with a valid CRC
  --exception WHEN     exception reply with --exception-code (default 4)
  --split WHEN         reply in two parts, the first --split-at bytes (default
                       half), with --split-gap seconds between (default 0.3)
  --short WHEN         only the first --short-length bytes (default half)
  --babble WHEN        instead of the reply, random bytes at the line rate for
                       --babble-time seconds (default 0.3); requests arriving
                       meanwhile are lost
  --hangup WHEN        hang up the line instead of replying and come back after
                       --hangup-time seconds (default 2) on a new
                       pseudo-terminal, printing its path and re-pointing --link
                       (a --device port is closed and opened again)
  --seed N             seed for the probabilities (default: random, logged)

Output:
  --log FILE|-         traffic log: every request (RX) and reply (TX) as hex,
                       and events (EV) with fault annotations, each line
                       stamped with seconds on the monotonic clock since start
  --help, --version

On exit (and on SIGUSR1) the counters go to standard error and the log:
  dornvel-sim: requests=N answered=N ignored=N collisions=N faults: hangup=N ...

Exit status: 0 after SIGINT/SIGTERM, 1 on a failure of the line, 2 on bad
options.

Examples:
  dornvel-sim --link /tmp/dornvel-com1 --resistance 12.5 --switch 3 --jumper
  dornvel-sim --link /tmp/com1 --log - --bad-crc every:5 --silence 0.05 --seed 7
  dornvel-sim --link /tmp/com1 --jumper --meter 3 --meter 7 --meter 41:12.5 \
              --meter 200@19200 --meter 7:100 --meter 7:200
  mbpoll -m rtu -a 1 -b 9600 -P none -s 2 -t 3:float -0 -r 0 -c 1 -1 /tmp/com1
)";
}

}  // namespace dornvel::sim
