#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct _modbus;
struct _modbus_mapping_t;

namespace dornvel::sim {

using Bytes = std::vector<std::uint8_t>;

// libmodbus as the device's Modbus RTU layer, with no line of its own: a
// request frame is handed to it through one end of a socket pair, libmodbus
// checks its length and CRC and builds the reply, and the reply is read back
// from the pair. The simulator can then send the reply as it is or mangle it,
// while the framing stays libmodbus's.
class ModbusEngine {
 public:
  ModbusEngine();
  ~ModbusEngine();
  ModbusEngine(const ModbusEngine&) = delete;
  ModbusEngine& operator=(const ModbusEngine&) = delete;

  void SetSlave(std::uint8_t slaveId);

  struct Received {
    enum class Status { Request, Ignored };
    Status status = Status::Ignored;
    Bytes request;       // the whole request, CRC included, when status is request
    std::string reason;  // why it was ignored
  };

  // Frames addressed to another slave, with a bad CRC or cut short are
  // ignored, as a device on the line would.
  Received Receive(std::span<const std::uint8_t> frame);

  // The reply libmodbus gives to `request` from these registers (empty for a
  // broadcast). A write changes `holding`.
  Bytes Reply(std::span<const std::uint8_t> request, const std::array<std::uint16_t, 3>& input,
              std::array<std::uint16_t, 2>& holding);

  // An exception reply with `code` to `request`. libmodbus builds it for the
  // codes it knows (1 to 11); any other code is framed here the same way.
  Bytes ReplyException(std::span<const std::uint8_t> request, std::uint8_t code);

 private:
  Bytes TakeOutput();

  _modbus* ctx_ = nullptr;
  _modbus_mapping_t* mapping_ = nullptr;
  int inner_ = -1;  // libmodbus's end
  int outer_ = -1;  // ours
  std::uint8_t slaveId_ = 1;
};

}  // namespace dornvel::sim
