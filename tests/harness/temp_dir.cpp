#include "harness/temp_dir.h"

#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace dornvel::testing {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "dornvel-test.XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error(std::string("mkdtemp: ") + std::strerror(errno));
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ReadText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace dornvel::testing
