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

constexpr int exit_failure = 1;
constexpr int exit_bad_options = 2;

std::uint64_t fresh_seed() {
  std::random_device device;
  return (static_cast<std::uint64_t>(device()) << 32) ^ device();
}

int serve(const dornvel::sim::Options& options) {
  using namespace dornvel::sim;
  const auto start = Clock::now();
  const std::uint64_t seed = options.seed.value_or(fresh_seed());

  std::unique_ptr<TrafficLog> log;
  if (!options.log) {
    log = std::make_unique<TrafficLog>();
  } else if (*options.log == "-") {
    log = std::make_unique<TrafficLog>(stderr, false, start);
  } else {
    std::FILE* file = std::fopen(options.log->c_str(), "w");
    if (!file) {
      std::fprintf(stderr, "dornvel-sim: cannot write the log %s: %s\n", options.log->c_str(), std::strerror(errno));
      return exit_failure;
    }
    log = std::make_unique<TrafficLog>(file, true, start);
  }

  try {
    SignalPipe signals;
    std::unique_ptr<LinkPointer> link;
    if (options.link) link = std::make_unique<LinkPointer>(*options.link);
    std::unique_ptr<Line> line =
        options.device ? open_serial_port(*options.device, options.baud) : open_pseudo_terminal(options.baud);
    if (link) link->point_to(line->path());
    log->event("serving slave " + std::to_string(options.slave_id) + " at " + std::to_string(options.baud) +
               " baud on " + line->path() + (link ? " (link " + link->path() + ")" : "") + ", jumper JP " +
               (options.jumper ? "set" : "not set") + ", seed " + std::to_string(seed));
    Simulator simulator(options, seed, std::move(line), link.get(), *log, signals, stdout);
    try {
      simulator.run();
    } catch (const std::exception&) {
      simulator.report();
      throw;
    }
    simulator.report();
    log->event("stopped");
  } catch (const std::exception& error) {
    log->event(std::string("failed: ") + error.what());
    std::fprintf(stderr, "dornvel-sim: %s\n", error.what());
    return exit_failure;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  using dornvel::sim::ParsedCommandLine;
  std::vector<std::string_view> arguments(argv + 1, argv + argc);
  ParsedCommandLine parsed = dornvel::sim::parse_command_line(arguments);
  switch (parsed.action) {
    case ParsedCommandLine::Action::help: std::fputs(dornvel::sim::help_text().c_str(), stdout); return 0;
    case ParsedCommandLine::Action::version: std::puts("dornvel-sim " DORNVEL_VERSION); return 0;
    case ParsedCommandLine::Action::refuse:
      std::fprintf(stderr, "dornvel-sim: %s\nTry 'dornvel-sim --help'.\n", parsed.message.c_str());
      return exit_bad_options;
    case ParsedCommandLine::Action::run: break;
  }
  return serve(parsed.options);
}
