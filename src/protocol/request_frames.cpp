#include "protocol/request_frames.h"

#include <cfloat>
#include <cmath>

#include "protocol/byte_image.h"
#include "protocol/cp1251.h"
#include "protocol/crc.h"
#include "protocol/function_codes.h"
#include "protocol/mb_data.h"
#include "protocol/numeric_text.h"
#include "protocol/runtime_error.h"

namespace dornvel {

namespace {

// Appends bytes and folds each into the CRC.
class FrameWriter {
 public:
  explicit FrameWriter(EventPump& pump) : pump_(pump) { CrcInit(crc_); }

  void AddByte(std::uint8_t b) {
    frame_.push_back(b);
    CrcUpdate(crc_, b, pump_);
  }
  // A count that must fit one byte of the frame.
  void AddCount(int n) {
    if (n < 0 || n > 255) throw RuntimeError(ErrorNumber::Overflow, "Overflow: count does not fit a byte");
    AddByte(static_cast<std::uint8_t>(n));
  }
  void AddHeader(const TagDefinition& tag, std::uint8_t function) {
    AddByte(function);
    AddByte(static_cast<std::uint8_t>(tag.regAddress / 256));
    AddByte(static_cast<std::uint8_t>(tag.regAddress % 256));
  }
  Bytes Finish() {
    frame_.push_back(crc_.CrcLo);
    frame_.push_back(crc_.CrcHi);
    return std::move(frame_);
  }

 private:
  EventPump& pump_;
  Crc crc_;
  Bytes frame_;
};

[[noreturn]] void NoSuchFunction() {
  throw RuntimeError(ErrorNumber::InvalidCall, "Invalid procedure call: no such request for this register class");
}

bool IsTrue(const Value& value) {
  if (value.IsText()) {
    const auto& text = std::get<std::string>(value.Get());
    if (auto n = ParseNumber(text)) return *n != 0;
    std::string lower;
    for (char c : text) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    if (lower == "true") return true;
    if (lower == "false") return false;
    throw RuntimeError(ErrorNumber::TypeMismatch, "Type mismatch: not a truth value");
  }
  return *value.Number() != 0;
}

void AddInteger(FrameWriter& frame, const Value& value) {
  double whole = RoundHalfEven(value.ToNumber());
  if (!(whole >= 0 && whole <= 65535)) throw RuntimeError(ErrorNumber::Overflow, "Overflow: integer outside 0-65535");
  auto n = static_cast<unsigned>(whole);
  frame.AddByte(static_cast<std::uint8_t>(n / 256));
  frame.AddByte(static_cast<std::uint8_t>(n % 256));
}

void AddFloat(FrameWriter& frame, const Value& value) {
  double v = value.ToNumber();
  if (std::isfinite(v) && std::fabs(v) > FLT_MAX)
    throw RuntimeError(ErrorNumber::Overflow, "Overflow: outside float range");
  std::uint8_t b[4];
  SingleToBytes(b, static_cast<float>(v));
  // Low half first, each half high byte first: C D A B.
  for (int i : {1, 0, 3, 2}) frame.AddByte(b[i]);
}

void AddText(FrameWriter& frame, const Value& value, int n) {
  std::string bytes = Utf8ToCp1251(value.ToText());
  for (int i = 0; i < n; ++i) {
    frame.AddByte(i < static_cast<int>(bytes.size()) ? static_cast<std::uint8_t>(bytes[i]) : 0x20);
  }
}

}  // namespace

Bytes BuildReadRequest(const TagDefinition& tag, EventPump& pump) {
  FrameWriter frame(pump);
  frame.AddByte(tag.slave);
  switch (tag.regType) {
    case Coils: frame.AddHeader(tag, function_code::kReadCoils); break;
    case DiscreteInputs: frame.AddHeader(tag, function_code::kReadDiscreteInputs); break;
    case InputRegisters: frame.AddHeader(tag, function_code::kReadInputRegisters); break;
    case HoldingRegisters: frame.AddHeader(tag, function_code::kReadHoldingRegisters); break;
    default: NoSuchFunction();
  }
  frame.AddByte(0x00);
  switch (tag.dataType) {
    case BitType: frame.AddByte(1); break;
    case TextType: frame.AddCount(Even(tag.dataLen) / 2); break;
    case IntegerType: frame.AddByte(1); break;
    case FloatType: frame.AddByte(2); break;
    default: break;  // no quantity for a type no tag uses
  }
  return frame.Finish();
}

Bytes BuildWriteRequest(const TagDefinition& tag, const Value& value, EventPump& pump) {
  FrameWriter frame(pump);
  frame.AddByte(tag.slave);
  if (tag.regType == Coils) {
    frame.AddHeader(tag, function_code::kWriteSingleCoil);
    frame.AddByte(IsTrue(value) ? 0xFF : 0x00);
    frame.AddByte(0x00);
    return frame.Finish();
  }
  if (tag.regType != HoldingRegisters) NoSuchFunction();

  frame.AddHeader(tag, function_code::kWriteMultipleRegisters);
  frame.AddByte(0x00);
  switch (tag.dataType) {
    case FloatType:
      frame.AddByte(0x02);
      frame.AddByte(0x04);
      AddFloat(frame, value);
      break;
    case IntegerType:
      frame.AddByte(0x01);
      frame.AddByte(0x02);
      AddInteger(frame, value);
      break;
    case TextType: {
      int n = Even(tag.dataLen);
      frame.AddCount(n / 2);
      frame.AddCount(n);
      AddText(frame, value, n);
      break;
    }
    default: break;  // no quantity for a type no tag uses
  }
  return frame.Finish();
}

}  // namespace dornvel
