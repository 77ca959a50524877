#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "sim/line.h"
#include "sim/link_pointer.h"
#include "sim/options.h"
#include "sim/signal_pipe.h"
#include "sim/simulator.h"
#include "sim/traffic_log.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitBadOptions = 2;

std::uint64_t FreshSeed() {
  std::random_device device;
  return (static_cast<std::uint64_t>(device()) << 32) ^ device();
}

int Serve(const dornvel::sim::Options& options) {
  using namespace dornvel::sim;
  const auto start = Clock::now();
  const std::uint64_t seed = options.seed.value_or(FreshSeed());

  std::unique_ptr<TrafficLog> log;
  if (!options.log) {
    log = std::make_unique<TrafficLog>();
  } else if (*options.log == "-") {
    log = std::make_unique<TrafficLog>(stderr, false, start);
  } else {
    std::FILE* file = std::fopen(options.log->c_str(), "w");
    if (!file) {
      std::fprintf(stderr, "dornvel-sim: cannot write the log %s: %s\n", options.log->c_str(), std::strerror(errno));
      return kExitFailure;
    }
    log = std::make_unique<TrafficLog>(file, true, start);
  }

  try {
    SignalPipe signals;
    std::unique_ptr<LinkPointer> link;
    if (options.link) link = std::make_unique<LinkPointer>(*options.link);
    const std::vector<MeterSpec> meters = MetersOf(options);
    std::unique_ptr<Line> line =
        options.device ? OpenSerialPort(*options.device, options.baud) : OpenPseudoTerminal(meters.front().baud);
    if (link) link->PointTo(line->Path());
    std::string served;
    for (const MeterSpec& meter : meters)
      served += (served.empty() ? "" : ", ") + std::string("slave ") + std::to_string(meter.slaveId) + " at " +
                std::to_string(meter.baud) + " baud";
    log->Event("serving " + served + " on " + line->Path() + (link ? " (link " + link->Path() + ")" : "") +
               ", jumper JP " + (options.jumper ? "set" : "not set") + ", seed " + std::to_string(seed));
    Simulator simulator(options, seed, std::move(line), link.get(), *log, signals, stdout);
    try {
      simulator.Run();
    } catch (const std::exception&) {
      simulator.Report();
      throw;
    }
    simulator.Report();
    log->Event("stopped");
  } catch (const std::exception& error) {
    log->Event(std::string("failed: ") + error.what());
    std::fprintf(stderr, "dornvel-sim: %s\n", error.what());
    return kExitFailure;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  using dornvel::sim::ParsedCommandLine;
  std::vector<std::string_view> arguments(argv + 1, argv + argc);
  ParsedCommandLine parsed = dornvel::sim::ParseCommandLine(arguments);
  switch (parsed.action) {
    case ParsedCommandLine::Action::Help: std::fputs(dornvel::sim::HelpText().c_str(), stdout); return 0;
    case ParsedCommandLine::Action::Version: std::puts("dornvel-sim " DORNVEL_VERSION); return 0;
    case ParsedCommandLine::Action::Refuse:
      std::fprintf(stderr, "dornvel-sim: %s\nTry 'dornvel-sim --help'.\n", parsed.message.c_str());
      return kExitBadOptions;
    case ParsedCommandLine::Action::Run: break;
  }
  return Serve(parsed.options);
}
