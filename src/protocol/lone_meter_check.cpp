#include "protocol/lone_meter_check.h"

#include <algorithm>

#include "protocol/line_request.h"
#include "protocol/meter_model.h"
#include "protocol/probe_timing.h"
#include "protocol/reply_parser.h"
#include "protocol/request_frames.h"
#include "protocol/serial_control.h"

namespace dornvel {

namespace {

using namespace probe_timing;

// Noise on the line must not stretch the check much: at most this many
// patient probes of 2.1 s follow what was heard out of turn.
constexpr int kMostPatientProbes = 8;

class LoneMeterCheck {
 public:
  LoneMeterCheck(Line::Hold& hold, ProtocolServices services, int rate, int exceptId,
                 const std::function<bool()>& cancelled)
      : hold_(hold), services_(services), rate_(rate), exceptId_(exceptId), cancelled_(cancelled) {}

  OtherMeters Run() {
    if ((hold_.Rate() != rate_ || !hold_.TheLine().Port().PortOpen()) && !hold_.OpenAt(rate_)) {
      return Ended(OtherMeters::End::PortLost);
    }
    // The meter's last reply may have only just ended: every slave must see
    // the frame gap before the first probe.
    if (!Rest(hold_, services_, FrameGap(rate_), cancelled_)) return Ended(Interrupted());
    for (int id = meter::kFirstSlaveId; id <= meter::kLastSlaveId; ++id) {
      if (id == exceptId_) continue;
      if (cancelled_ && cancelled_()) return Ended(OtherMeters::End::Cancelled);
      if (const auto end = Probe(id, QuickProbe(rate_))) return Ended(*end);
    }
    if (!Rest(hold_, services_, kLateReplyWindow, cancelled_)) return Ended(Interrupted());
    NoteHeard(hold_.TheLine().Port().Input());
    // Each slave heard out of turn gets one patient probe; a new one heard
    // meanwhile joins the queue.
    for (std::size_t i = 0; i < heard_.size() && i < kMostPatientProbes; ++i) {
      if (std::ranges::find(result_.ids, heard_[i]) != result_.ids.end()) continue;
      if (!Rest(hold_, services_, kRestBeforeAskingAgain, cancelled_)) return Ended(Interrupted());
      if (const auto end = Probe(heard_[i], PatientAsk(rate_))) return Ended(*end);
    }
    return Ended(OtherMeters::End::Done);
  }

 private:
  // Asks `id`; an end when the check cannot go on.
  std::optional<OtherMeters::End> Probe(int id, const AskTiming& timing) {
    const TagDefinition reg = meter::Definition(meter::kSlaveId, static_cast<std::uint8_t>(id));
    const Bytes request = BuildReadRequest(reg, services_.pump);
    const Answer answer = Ask(hold_, services_, request, timing, cancelled_, "lone-meter check");
    NoteHeard(answer.stale);
    switch (answer.end) {
      case AskEnd::Cancelled: return OtherMeters::End::Cancelled;
      case AskEnd::PortLost: return OtherMeters::End::PortLost;
      case AskEnd::Silent: return std::nullopt;
      case AskEnd::Whole:
        if (ParseReply(answer.reply, request, std::nullopt, reg, services_.pump).outcome == ReplyOutcome::Good) {
          if (std::ranges::find(result_.ids, id) == result_.ids.end()) result_.ids.push_back(id);
          return std::nullopt;
        }
        break;
      case AskEnd::Garbled:
        // Two slaves answering at once garble each other.
        NoteHeard({static_cast<std::uint8_t>(id)});
        break;
    }
    NoteHeard(answer.reply);
    if (!Rest(hold_, services_, FrameGap(rate_), cancelled_)) return Interrupted();
    return std::nullopt;
  }

  // A reply names its sender in its first byte, also when it comes too late
  // for the probe that asked.
  void NoteHeard(const Bytes& heard) {
    if (heard.empty() || !meter::IsSlaveId(heard[0]) || heard[0] == exceptId_) return;
    if (std::ranges::find(heard_, heard[0]) == heard_.end()) heard_.push_back(heard[0]);
  }

  OtherMeters::End Interrupted() const {
    return cancelled_ && cancelled_() ? OtherMeters::End::Cancelled : OtherMeters::End::PortLost;
  }

  OtherMeters Ended(OtherMeters::End end) {
    result_.end = end;
    return result_;
  }

  Line::Hold& hold_;
  ProtocolServices services_;
  const int rate_;
  const int exceptId_;
  const std::function<bool()>& cancelled_;
  std::vector<int> heard_;
  OtherMeters result_;
};

}  // namespace

OtherMeters OtherMetersAt(Line::Hold& hold, ProtocolServices services, int rate, int exceptId,
                          const std::function<bool()>& cancelled) {
  return LoneMeterCheck(hold, services, rate, exceptId, cancelled).Run();
}

}  // namespace dornvel
