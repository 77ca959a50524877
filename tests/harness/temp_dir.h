#pragma once

#include <filesystem>
#include <string>

namespace dornvel::testing {

// A directory of its own for one test, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// The whole content of `file`; empty when it cannot be read.
std::string ReadText(const std::filesystem::path& file);

}  // namespace dornvel::testing
