#include "sim/modbus_engine.h"

#include <modbus.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "sim/crc16.h"

namespace dornvel::sim {

namespace {

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error(what + ": " + std::strerror(errno)); }

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes = bytes.subspan(static_cast<std::size_t>(n));
  }
  return true;
}

void DiscardPending(int fd) {
  std::uint8_t scratch[512];
  while (::recv(fd, scratch, sizeof scratch, MSG_DONTWAIT) > 0) {
  }
}

}  // namespace

ModbusEngine::ModbusEngine() {
  int pair[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) Fail("socketpair");
  inner_ = pair[0];
  outer_ = pair[1];

  // The device name and line parameters are never used: libmodbus does not
  // open anything, it reads and writes the socket set below.
  ctx_ = modbus_new_rtu("/dev/null", 9600, 'N', 8, 2);
  if (!ctx_) Fail("modbus_new_rtu");
  modbus_set_socket(ctx_, inner_);
  modbus_set_slave(ctx_, slaveId_);
  // The whole frame is in the socket before libmodbus looks, so a missing
  // byte is missing for good: give up on it after 1 ms instead of the
  // default 0.5 s. The response time-out is also what libmodbus sleeps
  // before some exception replies; keep it as short.
  modbus_set_byte_timeout(ctx_, 0, 1000);
  modbus_set_response_timeout(ctx_, 0, 1000);
  modbus_set_indication_timeout(ctx_, 0, 1000);

  mapping_ = modbus_mapping_new(0, 0, 2, 3);
  if (!mapping_) Fail("modbus_mapping_new");
}

ModbusEngine::~ModbusEngine() {
  if (mapping_) modbus_mapping_free(mapping_);
  if (ctx_) modbus_free(ctx_);
  ::close(inner_);
  ::close(outer_);
}

void ModbusEngine::SetSlave(std::uint8_t slaveId) {
  slaveId_ = slaveId;
  modbus_set_slave(ctx_, slaveId);
}

ModbusEngine::Received ModbusEngine::Receive(std::span<const std::uint8_t> frame) {
  Received result;
  if (frame.size() < 4) {
    result.reason = "too short for a request";
    return result;
  }
  // libmodbus would skip a request for another slave too, but then it takes
  // the next frame for that slave's reply and skips it as well; with no
  // other slave on this line that would be the master's next request.
  if (frame[0] != slaveId_ && frame[0] != MODBUS_BROADCAST_ADDRESS) {
    result.reason = "for slave " + std::to_string(frame[0]);
    return result;
  }

  DiscardPending(inner_);
  DiscardPending(outer_);
  if (!WriteAll(outer_, frame)) Fail("socket pair write");
  std::uint8_t request[MODBUS_RTU_MAX_ADU_LENGTH];
  int length = modbus_receive(ctx_, request);
  int error = errno;
  DiscardPending(inner_);
  if (length > 0) {
    result.status = Received::Status::Request;
    result.request.assign(request, request + length);
    return result;
  }
  if (length == 0)
    result.reason = "not for this slave";
  else if (error == EMBBADCRC)
    result.reason = "bad CRC";
  else if (error == ETIMEDOUT)
    result.reason = "incomplete frame";
  else
    result.reason = modbus_strerror(error);
  return result;
}

Bytes ModbusEngine::Reply(std::span<const std::uint8_t> request, const std::array<std::uint16_t, 3>& input,
                          std::array<std::uint16_t, 2>& holding) {
  for (std::size_t i = 0; i < input.size(); ++i) mapping_->tab_input_registers[i] = input[i];
  for (std::size_t i = 0; i < holding.size(); ++i) mapping_->tab_registers[i] = holding[i];
  DiscardPending(outer_);
  if (modbus_reply(ctx_, request.data(), static_cast<int>(request.size()), mapping_) < 0) Fail("modbus_reply");
  for (std::size_t i = 0; i < holding.size(); ++i) holding[i] = mapping_->tab_registers[i];
  return TakeOutput();
}

Bytes ModbusEngine::ReplyException(std::span<const std::uint8_t> request, std::uint8_t code) {
  DiscardPending(outer_);
  if (code >= 1 && code < MODBUS_EXCEPTION_MAX) {
    if (modbus_reply_exception(ctx_, request.data(), code) < 0) Fail("modbus_reply_exception");
    return TakeOutput();
  }
  Bytes reply = {request[0], static_cast<std::uint8_t>(request[1] | 0x80), code};
  std::uint16_t crc = Crc16Modbus(reply);
  reply.push_back(static_cast<std::uint8_t>(crc & 0xFF));
  reply.push_back(static_cast<std::uint8_t>(crc >> 8));
  return reply;
}

Bytes ModbusEngine::TakeOutput() {
  Bytes out;
  std::uint8_t chunk[MODBUS_RTU_MAX_ADU_LENGTH];
  while (true) {
    ssize_t n = ::recv(outer_, chunk, sizeof chunk, MSG_DONTWAIT);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    out.insert(out.end(), chunk, chunk + n);
  }
  return out;
}

}  // namespace dornvel::sim
