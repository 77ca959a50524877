#include "harness/meters_on_line.h"

#include <algorithm>
#include <optional>

#include "harness/test_crc.h"
#include "protocol/function_codes.h"

namespace dornvel::testing {

namespace {

// A read asks for 1 to 125 registers: 250 bytes of data fill the longest frame.
constexpr int kMostRegisters = 125;
constexpr std::uint8_t kIllegalDataAddress = 0x02;
constexpr std::uint8_t kIllegalDataValue = 0x03;

std::optional<std::uint16_t> Register(const SimulatedMeter& meter, std::uint8_t function, int number) {
  const bool holding = function == function_code::kReadHoldingRegisters;
  const auto& registers = holding ? meter.holdingRegisters : meter.inputRegisters;
  if (const auto found = registers.find(number); found != registers.end()) return found->second;
  if (holding && number == 0) return static_cast<std::uint16_t>(meter.slave);
  if (holding && number == 1) return static_cast<std::uint16_t>(meter.baudRate);
  return std::nullopt;
}

// The meter's reply to a read of its registers; none to any other frame.
std::optional<Bytes> ReadReply(const SimulatedMeter& meter, const Bytes& frame) {
  if (frame.size() != 8 || !CrcIsValid(frame) || frame[0] != meter.slave) return std::nullopt;
  const std::uint8_t function = frame[1];
  if (function != function_code::kReadHoldingRegisters && function != function_code::kReadInputRegisters) {
    return std::nullopt;
  }
  const auto refused = [&](std::uint8_t code) {
    return WithCrc({frame[0], static_cast<std::uint8_t>(function | function_code::kExceptionBit), code});
  };
  const int first = frame[2] << 8 | frame[3];
  const int count = frame[4] << 8 | frame[5];
  if (count < 1 || count > std::min(kMostRegisters, meter.longestRead)) return refused(kIllegalDataValue);
  Bytes reply{frame[0], function, static_cast<std::uint8_t>(2 * count)};
  for (int number = first; number < first + count; ++number) {
    const auto value = Register(meter, function, number);
    if (!value) return refused(kIllegalDataAddress);
    reply.push_back(static_cast<std::uint8_t>(*value >> 8));
    reply.push_back(static_cast<std::uint8_t>(*value & 0xFF));
  }
  return WithCrc(std::move(reply));
}

// The meter's reply to a write of its slave id or rate, which it takes when
// its jumper is set; none to any other frame, or when the write's reply is lost.
std::optional<Bytes> WriteReply(SimulatedMeter& meter, const Bytes& frame) {
  constexpr std::uint8_t kIllegalFunction = 0x01;
  if (frame.size() != 11 || !CrcIsValid(frame) || frame[0] != meter.slave ||
      frame[1] != function_code::kWriteMultipleRegisters || frame[2] != 0 || frame[3] > 1 || frame[5] != 1) {
    return std::nullopt;
  }
  if (!meter.jumper) {
    return WithCrc({frame[0], function_code::kWriteMultipleRegisters | function_code::kExceptionBit, kIllegalFunction});
  }
  const int reg = frame[3];
  const bool silent = meter.silentWriteOf == reg;
  if (!silent || meter.takesSilentWrite) {
    (reg == 0 ? meter.slave : meter.baudRate) = frame[7] << 8 | frame[8];
    if (meter.goneAfterWriteOf == reg) meter.dead = true;
  }
  if (silent) return std::nullopt;
  return WithCrc({frame[0], frame[1], frame[2], frame[3], frame[4], frame[5]});
}

}  // namespace

MetersOnLine::MetersOnLine(std::vector<SimulatedMeter> meters) {
  for (SimulatedMeter& meter : meters) meters_.push_back({std::move(meter)});
}

void MetersOnLine::Attach(ScriptedSerialControl& line) {
  line.lineTime = true;
  line.devices = [this](const LineRequest& request) { return Answer(request); };
}

std::vector<ScriptedSerialControl::Reply> MetersOnLine::Answer(const LineRequest& request) {
  std::vector<ScriptedSerialControl::Reply> replies;
  for (OnLine& on : meters_) {
    SimulatedMeter& meter = on.meter;
    if (meter.baudRate != request.baudRate) continue;
    const Duration silence = meter.frameSilence > Duration::zero() ? meter.frameSilence : request.characterTime * 7 / 2;
    if (request.start - std::max(request.quietSince, on.deafUntil) < silence || meter.dead) continue;
    auto reply = ReadReply(meter, request.frame);
    if (!reply) reply = WriteReply(meter, request.frame);
    if (!reply) continue;
    on.deafUntil = request.end + meter.turnaround + request.characterTime * static_cast<int>(reply->size());
    replies.push_back({{meter.turnaround, std::move(*reply)}});
  }
  return replies;
}

}  // namespace dornvel::testing
