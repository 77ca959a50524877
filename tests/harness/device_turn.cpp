#include "harness/device_turn.h"

namespace dornvel::testing {

using namespace std::chrono_literals;

DeviceTurn::DeviceTurn(PseudoTerminal& pty, std::size_t requestSize, std::vector<Piece> reply)
    : thread_([this, &pty, requestSize, reply = std::move(reply)] {
        request_ = pty.Read(requestSize, In(5s));
        if (request_.size() < requestSize) return;
        for (const auto& piece : reply) {
          // The pause is the line timing under test, not a synchronisation.
          std::this_thread::sleep_for(piece.pause);
          pty.Write(piece.bytes);
        }
      }) {}

const Bytes& DeviceTurn::Finish() {
  if (thread_.joinable()) thread_.join();
  return request_;
}

}  // namespace dornvel::testing
