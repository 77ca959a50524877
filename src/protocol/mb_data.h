#pragma once

#include <cstdint>
#include <string>

#include "protocol/bytes.h"
#include "protocol/protocol_services.h"
#include "protocol/tag_definition.h"
#include "protocol/value.h"

namespace dornvel {

class HostWindow;
class Line;
class MBCollection;

// One data point of the device: its definition, its value, the pending write and
// read, and the outcome of the last reply examined.
class MBData {
 public:
  explicit MBData(ProtocolServices services);
  MBData(const MBData&) = delete;
  MBData& operator=(const MBData&) = delete;

  bool ReadReq = false;
  std::uint8_t Slave = 0;
  std::int16_t DataLen = 0;
  // 0 good; 9 reply from another slave; 10 bad CRC; 12 a reply that does not
  // answer the request; other: the device's exception code.
  std::uint8_t LastError = 0;
  std::int32_t RegType = 0;
  std::int32_t RegAddress = 0;
  std::int32_t DataType = 0;
  MBCollection* Parent = nullptr;
  std::string TagName;

  std::int16_t Error() const { return LastError; }
  const Value& Data() const { return value_; }
  // Ignored for read-only classes; a value equal to the held one changes nothing.
  void SetData(const Value& vData);
  bool WriteReq() const { return writeReq_; }
  // Whether the value is the device's as of the last Refresh that exchanged
  // anything: every exchange of it was answered without error, and no value
  // waits to be written. What a failed exchange leaves is an older value.
  bool ValueCurrent() const { return valueCurrent_; }
  // Whether the last exchange got a reply that answers it, the value or the
  // device's exception; false after a time-out, a closed port or a refused
  // reply. True before the first exchange and after ForgetValue.
  bool LastExchangeAnswered() const { return lastExchangeAnswered_; }
  // How many exchanges of this tag the device has answered so far.
  std::uint64_t AnsweredExchanges() const { return answeredExchanges_; }
  // Forgets the value, the pending write and the last outcome, and asks for a
  // read: what was read from one device says nothing of another. A reply on its
  // way meanwhile is not kept.
  void ForgetValue();

  // Raises RuntimeError 2 (address outside 0-9998) or 3 (unknown register class);
  // the fields stored before the failing check keep their new values.
  void Init(std::uint8_t slaveid, std::int32_t RT, std::int32_t RA, std::int32_t DT, Line* CP, const std::string& Tag,
            MBCollection* NewParent, std::int16_t DLen = 0);

  // At most one write, then at most one read. Line errors end in LastError and the
  // status bar; a value that cannot be encoded raises RuntimeError.
  void Refresh();

  void IncError();
  // Reports to `host` instead of the window of its line's serial control.
  void ReportTo(HostWindow* host) { reportTo_ = host; }
  static std::string GetErrorText(const Value& ErrCode);

  // The last request built and the last input taken (stale input or reply).
  const Bytes& TxFrame() const { return txFrame_; }
  const Bytes& RxBytes() const { return rxBytes_; }

 private:
  TagDefinition Definition() const;
  // Where its messages and errors go: `reportTo_`, else the window of its
  // line's serial control; null when there is neither.
  HostWindow* Host() const;
  void WaitCommFree(int limitSeconds);
  // Runs the exchange of TxFrame and examines the reply; a decoded value is kept
  // only when no assignment came since `valueGeneration` was taken.
  bool GetData(std::uint64_t valueGeneration);
  // Records a refused reply: its message, the error count and LastError.
  void Refuse(const std::string& message, std::uint8_t code);
  void NoteAnswer();
  void BuildReadRequest();
  void BuildWriteRequest();

  ProtocolServices services_;
  Line* line_ = nullptr;
  HostWindow* reportTo_ = nullptr;
  Value value_;
  // Counts assignments and forgettings, so a reply that was on its way during
  // one cannot undo it.
  std::uint64_t valueGeneration_ = 0;
  // Counts forgettings only: an exchange that began before one settles nothing.
  std::uint64_t forgotten_ = 0;
  bool writeReq_ = false;
  bool valueCurrent_ = false;
  bool lastExchangeAnswered_ = true;
  std::uint64_t answeredExchanges_ = 0;
  bool refreshing_ = false;
  Bytes txFrame_;
  Bytes rxBytes_;
};

}  // namespace dornvel
