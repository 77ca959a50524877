#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>

#include "platform/qt_event_pump.h"
#include "platform/qt_serial_control.h"
#include "platform/steady_clock.h"
#include "protocol/line.h"
#include "protocol/mb_data.h"

namespace dornvel {
namespace {

using namespace std::chrono_literals;

const Bytes kReadNolu{0x01, 0x04, 0x00, 0x00, 0x00, 0x02, 0x71, 0xCB};
const Bytes kNoluIs12_5{0x01, 0x04, 0x04, 0x00, 0x00, 0x41, 0x48, 0xCB, 0xE2};

double ThreadCpuSeconds() {
  timespec now{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The meter on the master side of a pseudo-terminal, on a thread of its own: it
// answers every read request of "nolu" at once.
class Responder {
 public:
  Responder() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    ::grantpt(master_);
    ::unlockpt(master_);
    slavePath_ = ::ptsname(master_);
    // Held open so that the master sees no hang-up between the control's opens.
    slave_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY);
    termios raw{};
    ::tcgetattr(slave_, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave_, TCSANOW, &raw);
    thread_ = std::thread([this] { Serve(); });
  }
  ~Responder() {
    stop_ = true;
    thread_.join();
    ::close(slave_);
    ::close(master_);
  }
  const std::string& SlavePath() const { return slavePath_; }

 private:
  void Serve() {
    Bytes request;
    while (!stop_) {
      pollfd ready{master_, POLLIN, 0};
      if (::poll(&ready, 1, 50) <= 0) continue;
      std::uint8_t buffer[64];
      const auto n = ::read(master_, buffer, sizeof buffer);
      if (n <= 0) continue;
      request.insert(request.end(), buffer, buffer + n);
      if (request.size() < kReadNolu.size()) continue;
      if (request == kReadNolu) {
        [[maybe_unused]] auto written = ::write(master_, kNoluIs12_5.data(), kNoluIs12_5.size());
      }
      request.clear();
    }
  }

  int master_ = -1;
  int slave_ = -1;
  std::string slavePath_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// One read of "nolu": request out, reply in at once, then the 0.1 s of silence
// that ends every reply. "CPU" is this thread's time: the master side only.
void BM_TransactionOverPty(benchmark::State& state) {
  Responder device;
  ::setenv("DORNVEL_COM1", device.SlavePath().c_str(), 1);
  QtEventPump pump;
  SteadyClock clock;
  QtSerialControl control;
  Line line(control);
  MBData tag(ProtocolServices{pump, clock});
  tag.Init(1, InputRegisters, 0, FloatType, &line, "nolu", nullptr);

  tag.Refresh();  // opens the port: a one-off, kept out of the figures

  double cpu = 0;
  double wall = 0;
  for (auto _ : state) {
    const double cpuStart = ThreadCpuSeconds();
    const auto wallStart = std::chrono::steady_clock::now();
    tag.Refresh();
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    cpu += ThreadCpuSeconds() - cpuStart;
    if (tag.LastError != 0 || tag.Data() != Value(12.5f)) state.SkipWithError("no good reply");
  }
  ::unsetenv("DORNVEL_COM1");
  const double n = static_cast<double>(state.iterations());
  state.counters["cpu_ms"] = cpu / n * 1e3;
  state.counters["wall_ms"] = wall / n * 1e3;
  state.counters["beyond_silence_ms"] = (wall / n - 0.1) * 1e3;
}
BENCHMARK(BM_TransactionOverPty)->Iterations(30)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace dornvel
