#include <benchmark/benchmark.h>

#include "harness/fakes.h"
#include "platform/qt_event_pump.h"
#include "protocol/bytes.h"
#include "protocol/crc.h"
#include "protocol/event_pump.h"
#include "protocol/mb_data.h"
#include "protocol/reply_parser.h"
#include "protocol/request_frames.h"

namespace dornvel {
namespace {

// The cost of the codecs alone, without the once-per-bit pass of the event loop.
using NoOpPump = testing::NoEventPump;

const TagDefinition kNolu{1, InputRegisters, 0, FloatType, 0};
const TagDefinition kSlaveId{1, HoldingRegisters, 0, IntegerType, 0};
const Bytes kReadNolu{0x01, 0x04, 0x00, 0x00, 0x00, 0x02, 0x71, 0xCB};
const Bytes kNoluIs12_5{0x01, 0x04, 0x04, 0x00, 0x00, 0x41, 0x48, 0xCB, 0xE2};

template <typename Pump>
void BM_Crc(benchmark::State& state) {
  Pump pump;
  const Bytes frame(static_cast<std::size_t>(state.range(0)), 0xA5);
  for (auto _ : state) {
    Crc crc;
    CrcInit(crc);
    for (auto byte : frame) CrcUpdate(crc, byte, pump);
    benchmark::DoNotOptimize(crc);
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK_TEMPLATE(BM_Crc, NoOpPump)->Arg(8)->Arg(256);
BENCHMARK_TEMPLATE(BM_Crc, QtEventPump)->Arg(8)->Arg(256);

template <typename Pump>
void BM_BuildReadRequest(benchmark::State& state) {
  Pump pump;
  for (auto _ : state) benchmark::DoNotOptimize(BuildReadRequest(kNolu, pump));
}
BENCHMARK_TEMPLATE(BM_BuildReadRequest, NoOpPump);
BENCHMARK_TEMPLATE(BM_BuildReadRequest, QtEventPump);

template <typename Pump>
void BM_BuildWriteRequest(benchmark::State& state) {
  Pump pump;
  const Value slaveId(std::int16_t{17});
  for (auto _ : state) benchmark::DoNotOptimize(BuildWriteRequest(kSlaveId, slaveId, pump));
}
BENCHMARK_TEMPLATE(BM_BuildWriteRequest, NoOpPump);
BENCHMARK_TEMPLATE(BM_BuildWriteRequest, QtEventPump);

template <typename Pump>
void BM_ParseFloatReply(benchmark::State& state) {
  Pump pump;
  for (auto _ : state) {
    auto parsed = ParseReply(kNoluIs12_5, kReadNolu, std::nullopt, kNolu, pump);
    if (parsed.outcome != ReplyOutcome::Good) state.SkipWithError("the reply did not decode");
    benchmark::DoNotOptimize(parsed);
  }
}
BENCHMARK_TEMPLATE(BM_ParseFloatReply, NoOpPump);
BENCHMARK_TEMPLATE(BM_ParseFloatReply, QtEventPump);

}  // namespace
}  // namespace dornvel
