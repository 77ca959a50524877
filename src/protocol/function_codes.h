#pragma once

#include <cstdint>

namespace dornvel::function_code {

// The Modbus function codes the master sends.
inline constexpr std::uint8_t kReadCoils = 0x01;
inline constexpr std::uint8_t kReadDiscreteInputs = 0x02;
inline constexpr std::uint8_t kReadHoldingRegisters = 0x03;
inline constexpr std::uint8_t kReadInputRegisters = 0x04;
inline constexpr std::uint8_t kWriteSingleCoil = 0x05;
inline constexpr std::uint8_t kWriteSingleRegister = 0x06;
inline constexpr std::uint8_t kWriteMultipleRegisters = 0x10;

// Set in the function code of a reply that carries an exception code instead.
inline constexpr std::uint8_t kExceptionBit = 0x80;

}  // namespace dornvel::function_code
