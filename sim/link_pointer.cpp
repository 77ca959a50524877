#include "sim/link_pointer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace dornvel::sim {

namespace {

std::string ReadLink(const std::string& path) {
  char buffer[4096];
  ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer);
  return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

}  // namespace

LinkPointer::LinkPointer(std::string linkPath) : linkPath_(std::move(linkPath)) {
  struct stat info {};
  if (::lstat(linkPath_.c_str(), &info) == 0 && !S_ISLNK(info.st_mode))
    throw std::runtime_error(linkPath_ + " exists and is not a symbolic link; not replacing it");
}

void LinkPointer::PointTo(const std::string& target) {
  std::string staging = linkPath_ + ".new." + std::to_string(::getpid());
  ::unlink(staging.c_str());
  if (::symlink(target.c_str(), staging.c_str()) != 0)
    throw std::runtime_error("symlink " + staging + ": " + std::strerror(errno));
  if (::rename(staging.c_str(), linkPath_.c_str()) != 0) {
    int saved = errno;
    ::unlink(staging.c_str());
    throw std::runtime_error("rename to " + linkPath_ + ": " + std::strerror(saved));
  }
  target_ = target;
}

void LinkPointer::Remove() {
  if (target_.empty()) return;
  if (ReadLink(linkPath_) == target_) ::unlink(linkPath_.c_str());
  target_.clear();
}

}  // namespace dornvel::sim
