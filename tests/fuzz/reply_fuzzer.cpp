// Feeds arbitrary replies, split at arbitrary points and arriving at arbitrary
// times, to the transactions of one tag on a fake line and clock.
//
// Input: byte 0 picks the register class, value type and text length, byte 1 the
// slave; then up to four exchanges, each a header byte (low 3 bits: number of
// pieces; bit 7: assign a new value first, from the next two bytes) followed by
// its pieces, each a delay in units of 10 ms, a length and that many bytes.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "harness/fakes.h"
#include "protocol/line.h"
#include "protocol/mb_data.h"

namespace {

using namespace dornvel;
using namespace dornvel::testing;

class Input {
 public:
  explicit Input(std::span<const std::uint8_t> data) : data_(data) {}
  bool Empty() const { return pos_ >= data_.size(); }
  std::uint8_t Byte() { return Empty() ? 0 : data_[pos_++]; }
  Bytes Take(std::size_t n) {
    n = std::min(n, data_.size() - pos_);
    Bytes bytes(data_.begin() + static_cast<long>(pos_), data_.begin() + static_cast<long>(pos_ + n));
    pos_ += n;
    return bytes;
  }

 private:
  std::span<const std::uint8_t> data_;
  std::size_t pos_ = 0;
};

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "broken: %s\n", what);
  std::abort();
}

// A decoded value is never a double; only an assignment makes one.
bool HoldsDecodableKind(const Value& value) { return !std::holds_alternative<double>(value.Get()); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input in({data, size});
  constexpr std::int32_t kClasses[] = {Coils, DiscreteInputs, InputRegisters, HoldingRegisters};
  constexpr std::int32_t kTypes[] = {BitType, TextType, IntegerType, FloatType};
  std::uint8_t shape = in.Byte();

  FakeClock clock;
  FakeEventPump pump{clock};
  FakeHostWindow window;
  ScriptedSerialControl port{clock, pump, &window};
  Line line{port};
  MBData tag{ProtocolServices{pump, clock}};
  tag.Init(in.Byte(), kClasses[shape & 3], 0, kTypes[(shape >> 2) & 3], &line, "fuzz", nullptr,
           static_cast<std::int16_t>(shape >> 4));

  bool assigned = false;
  std::size_t scheduled = 0;
  for (int exchange = 0; exchange < 4 && !in.Empty(); ++exchange) {
    std::uint8_t header = in.Byte();
    if (header & 0x80) {
      tag.SetData(Value(static_cast<double>(in.Byte() << 8 | in.Byte())));
      assigned = true;
    }
    std::vector<ScriptedSerialControl::Chunk> pieces;
    for (int i = 0; i < (header & 7); ++i) {
      Duration delay = std::chrono::milliseconds(10 * in.Byte());
      pieces.push_back({delay, in.Take(in.Byte())});
      scheduled += 2 * pieces.back().bytes.size();
    }
    port.ExpectAnyRequest(pieces);
    port.ExpectAnyRequest(std::move(pieces));  // a write may be followed by a read

    TimePoint start = clock.Now();
    try {
      tag.Refresh();
    } catch (const RuntimeError&) {
      Check(tag.WriteReq(), "only a pending value fails to encode");  // only a pending value can fail to encode
    }
    port.ClearScript();

    // Two exchanges of at most: 1 s drain, 2 s first byte, 2 s reply, 0.1 s silence.
    Check(clock.Now() - start <= std::chrono::milliseconds(2 * 5100 + 100), "a refresh ends in bounded time");
    Check(tag.RxBytes().size() <= scheduled, "a reply holds only bytes that arrived");
    Check(assigned || HoldsDecodableKind(tag.Data()), "decoded values have the decoded kinds");
  }
  return 0;
}
