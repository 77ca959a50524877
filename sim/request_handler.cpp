#include "sim/request_handler.h"

#include <modbus.h>

#include <optional>
#include <vector>

namespace dornvel::sim {

namespace {

struct HoldingWrite {
  std::uint16_t address = 0;
  std::vector<std::uint16_t> values;
};

std::uint16_t WordAt(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}

// The register writes of functions 6 and 16 when the request is consistent
// (libmodbus has already matched the frame length to the byte count); an
// inconsistent one is left to libmodbus, which answers exception 3.
std::optional<HoldingWrite> DecodeWrite(std::span<const std::uint8_t> request) {
  HoldingWrite write;
  if (request[1] == MODBUS_FC_WRITE_SINGLE_REGISTER && request.size() >= 8) {
    write.address = WordAt(request, 2);
    write.values.push_back(WordAt(request, 4));
    return write;
  }
  if (request[1] == MODBUS_FC_WRITE_MULTIPLE_REGISTERS && request.size() >= 9) {
    write.address = WordAt(request, 2);
    std::uint16_t quantity = WordAt(request, 4);
    std::size_t byteCount = request[6];
    if (quantity < 1 || byteCount != 2u * quantity || request.size() != 9 + byteCount) return std::nullopt;
    for (std::size_t i = 0; i < quantity; ++i) write.values.push_back(WordAt(request, 7 + 2 * i));
    return write;
  }
  return std::nullopt;
}

std::string DescribeChange(const std::array<std::uint16_t, 2>& before, const Meter& meter) {
  std::string note;
  if (before[0] != meter.SlaveId())
    note += "slave id now " + std::to_string(meter.SlaveId()) + " (from the next request)";
  if (before[1] != meter.Baud()) {
    if (!note.empty()) note += ", ";
    note += "baud rate now " + std::to_string(meter.Baud()) + " (from the next request)";
  }
  return note.empty() ? "write accepted, values unchanged" : note;
}

}  // namespace

Handled HandleRequest(ModbusEngine& engine, Meter& meter, std::span<const std::uint8_t> request,
                      Clock::time_point now) {
  Handled handled;
  const bool broadcast = request[0] == MODBUS_BROADCAST_ADDRESS;
  const std::uint8_t function = request[1];
  auto holding = meter.HoldingRegisters();

  switch (function) {
    case MODBUS_FC_READ_HOLDING_REGISTERS:
    case MODBUS_FC_READ_INPUT_REGISTERS:
      handled.reply = engine.Reply(request, meter.InputRegisters(now), holding);
      break;
    case MODBUS_FC_WRITE_SINGLE_REGISTER:
    case MODBUS_FC_WRITE_MULTIPLE_REGISTERS: {
      auto write = DecodeWrite(request);
      bool inRange = write && write->address + write->values.size() <= holding.size();
      if (inRange) {
        WriteVerdict verdict = meter.CheckWrite(write->address, write->values);
        if (!verdict.accepted) {
          handled.note = meter.Jumper() ? "write refused: value out of range" : "write refused: jumper JP not set";
          handled.reply = engine.ReplyException(request, verdict.exceptionCode);
          break;
        }
      }
      auto before = holding;
      handled.reply = engine.Reply(request, meter.InputRegisters(now), holding);
      if (inRange) {
        meter.TakeHolding(holding);
        handled.note = DescribeChange(before, meter);
      }
      break;
    }
    default:
      handled.note = "function " + std::to_string(function) + " not supported";
      handled.reply = engine.ReplyException(request, MODBUS_EXCEPTION_ILLEGAL_FUNCTION);
      break;
  }
  if (broadcast) handled.reply.clear();
  return handled;
}

}  // namespace dornvel::sim
