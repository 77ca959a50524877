#include "protocol/mb_data.h"

#include "protocol/error_texts.h"
#include "protocol/line.h"
#include "protocol/reply_parser.h"
#include "protocol/request_frames.h"
#include "protocol/runtime_error.h"
#include "protocol/serial_control.h"
#include "protocol/status_panels.h"
#include "protocol/transaction.h"

namespace dornvel {

namespace {

// Clears a flag when the scope ends, also when an encoding error leaves it.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
};

}  // namespace

MBData::MBData(ProtocolServices services) : services_(services) {}

void MBData::SetData(const Value& vData) {
  if (RegType != Coils && RegType != HoldingRegisters) return;
  if (vData == value_) return;
  value_ = vData;
  ++valueGeneration_;
  writeReq_ = true;
  valueCurrent_ = false;
}

void MBData::ForgetValue() {
  value_ = Value();
  ++valueGeneration_;
  ++forgotten_;
  writeReq_ = false;
  valueCurrent_ = false;
  ReadReq = true;
  LastError = 0;
  lastExchangeAnswered_ = true;
}

void MBData::Init(std::uint8_t slaveid, std::int32_t RT, std::int32_t RA, std::int32_t DT, Line* CP,
                  const std::string& Tag, MBCollection* NewParent, std::int16_t DLen) {
  Slave = slaveid;
  if (RA < 0 || RA > 9998) throw RuntimeError(ErrorNumber::InvalidRegAddress, "register address outside 0-9998");
  RegAddress = RA;
  if (RT != Coils && RT != DiscreteInputs && RT != InputRegisters && RT != HoldingRegisters) {
    throw RuntimeError(ErrorNumber::InvalidRegType, "register class is not 0, 1, 3 or 4");
  }
  line_ = CP;
  Parent = NewParent;
  RegType = RT;
  DataType = DT;
  DataLen = DLen;
  TagName = Tag;
  writeReq_ = false;
  ReadReq = true;
}

void MBData::Refresh() {
  // A nested refresh of this tag (from an event run inside its own exchange)
  // would rebuild the frame under the running one.
  if (refreshing_) return;
  FlagScope refreshing(refreshing_);

  bool exchanged = false;
  bool answered = true;  // every exchange got a reply without error
  if (writeReq_) {
    std::uint64_t generation = valueGeneration_;
    BuildWriteRequest();
    exchanged = true;
    const bool replied = GetData(generation);
    answered = replied && LastError == 0;
    // A value assigned while the write was on its way is still to be written.
    if (replied && generation == valueGeneration_) writeReq_ = false;
  }
  if (LastError != 0 || RegType == DiscreteInputs || RegType == InputRegisters || ReadReq) {
    std::uint64_t generation = valueGeneration_;
    std::uint64_t forgotten = forgotten_;
    BuildReadRequest();
    exchanged = true;
    const bool replied = GetData(generation);
    answered = answered && replied && LastError == 0;
    // Forgotten while the read was on its way: the read is still to be done.
    if (replied && forgotten == forgotten_) ReadReq = false;
  }
  if (exchanged) valueCurrent_ = answered && !writeReq_ && !value_.IsEmpty();
}

void MBData::IncError() { dornvel::IncError(Host()); }

std::string MBData::GetErrorText(const Value& ErrCode) { return dornvel::GetErrorText(ErrCode); }

TagDefinition MBData::Definition() const { return {Slave, RegType, RegAddress, DataType, DataLen}; }

HostWindow* MBData::Host() const {
  if (reportTo_) return reportTo_;
  return line_ ? line_->Port().Parent() : nullptr;
}

void MBData::WaitCommFree(int limitSeconds) { dornvel::WaitCommFree(Host(), services_, TagName, limitSeconds); }

void MBData::BuildReadRequest() {
  WaitCommFree(kCommFreeLimitSeconds);
  txFrame_ = dornvel::BuildReadRequest(Definition(), services_.pump);
}

void MBData::BuildWriteRequest() {
  WaitCommFree(kCommFreeLimitSeconds);
  txFrame_ = dornvel::BuildWriteRequest(Definition(), value_, services_.pump);
}

bool MBData::GetData(std::uint64_t valueGeneration) {
  lastExchangeAnswered_ = false;
  if (!line_) return false;
  auto reply = Exchange(*line_, Host(), services_, txFrame_, TagName);
  if (!reply) return false;
  rxBytes_ = std::move(*reply);

  ParsedReply parsed = ParseReply(rxBytes_, txFrame_, line_->UnansweredRequest(), Definition(), services_.pump);
  // A reply that answers another request means the line is out of step, and the
  // answer to this one may come late; any other reply was this request's own.
  if (parsed.outcome == ReplyOutcome::NotAnAnswer) {
    line_->NoteUnanswered(txFrame_);
  } else {
    line_->NoteInStep();
  }
  switch (parsed.outcome) {
    case ReplyOutcome::NotAnAnswer: Refuse(status_text::NotAnAnswer(TagName), kNotAnAnswerError); return false;
    case ReplyOutcome::BadCrc: Refuse(status_text::BadCrc(TagName), kBadCrcError); return false;
    case ReplyOutcome::ForeignSlave:
      Refuse(status_text::ForeignSlave(TagName, parsed.code), kForeignSlaveError);
      return false;
    case ReplyOutcome::Exception:
      Refuse(status_text::Exception(TagName, parsed.code), parsed.code);
      NoteAnswer();
      return true;
    case ReplyOutcome::Good:
      // Stored directly: a value read from the device is nothing to write back.
      // A value still to be written, or assigned while the reply was on its way,
      // wins over it.
      if (parsed.value && !writeReq_ && valueGeneration == valueGeneration_) value_ = std::move(*parsed.value);
      LastError = 0;
      NoteAnswer();
      return true;
  }
  return false;
}

void MBData::NoteAnswer() {
  lastExchangeAnswered_ = true;
  ++answeredExchanges_;
}

void MBData::Refuse(const std::string& message, std::uint8_t code) {
  HostWindow* window = Host();
  ShowMessage(window, message);
  dornvel::IncError(window);
  LastError = code;
}

}  // namespace dornvel
