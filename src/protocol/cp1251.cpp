#include "protocol/cp1251.h"

#include <array>

namespace dornvel {

namespace {

// Unicode code points of the bytes 0x80-0xBF; 0xC0-0xFF are U+0410-U+044F and
// 0x00-0x7F are ASCII. 0x98 is unassigned and kept as U+0098.
constexpr std::array<char32_t, 64> kUpperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

char32_t ByteToCodePoint(std::uint8_t b) {
  if (b < 0x80) return b;
  if (b >= 0xC0) return 0x0410 + (b - 0xC0);
  return kUpperHalf[b - 0x80];
}

char CodePointToByte(char32_t cp) {
  if (cp < 0x80) return static_cast<char>(cp);
  if (cp >= 0x0410 && cp <= 0x044F) return static_cast<char>(0xC0 + (cp - 0x0410));
  for (std::size_t i = 0; i < kUpperHalf.size(); ++i) {
    if (kUpperHalf[i] == cp) return static_cast<char>(0x80 + i);
  }
  return '?';
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one UTF-8 sequence at `pos`, advancing it; 0xFFFD for a broken one.
char32_t NextCodePoint(std::string_view s, std::size_t& pos) {
  auto lead = static_cast<std::uint8_t>(s[pos++]);
  if (lead < 0x80) return lead;
  int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
  if (extra < 0 || lead >= 0xF8) return 0xFFFD;
  char32_t cp = lead & (0x3F >> extra);
  for (int i = 0; i < extra; ++i) {
    if (pos >= s.size() || (static_cast<std::uint8_t>(s[pos]) & 0xC0) != 0x80) return 0xFFFD;
    cp = (cp << 6) | (static_cast<std::uint8_t>(s[pos++]) & 0x3F);
  }
  return cp;
}

}  // namespace

std::string Utf8ToCp1251(std::string_view utf8) {
  std::string out;
  for (std::size_t pos = 0; pos < utf8.size();) out += CodePointToByte(NextCodePoint(utf8, pos));
  return out;
}

std::string Cp1251ToUtf8(std::string_view bytes) {
  std::string out;
  for (char c : bytes) AppendUtf8(out, ByteToCodePoint(static_cast<std::uint8_t>(c)));
  return out;
}

}  // namespace dornvel
