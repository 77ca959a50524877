#pragma once

#include <string>

namespace dornvel::sim {

// The --link symbolic link: a fixed path for the program to open, pointed at
// the pseudo-terminal of the moment.
class LinkPointer {
 public:
  // Throws std::runtime_error when `link_path` exists and is not a
  // symbolic link (an older link, say from a killed run, is replaced).
  explicit LinkPointer(std::string linkPath);
  ~LinkPointer() { Remove(); }
  LinkPointer(const LinkPointer&) = delete;
  LinkPointer& operator=(const LinkPointer&) = delete;

  // Points the link at `target`, replacing the old link in one step
  // (a new link beside it, renamed over it), so a reader never finds the
  // path missing. Throws std::runtime_error on failure.
  void PointTo(const std::string& target);

  // Removes the link if it is still ours (still points where we put it).
  void Remove();

  const std::string& Path() const { return linkPath_; }

 private:
  std::string linkPath_;
  std::string target_;
};

}  // namespace dornvel::sim
