#include "protocol/error_texts.h"

#include <array>

namespace dornvel {

namespace {

constexpr std::array<std::string_view, 13> kErrorTexts = {
    "O.K.",
    "Неверная команда",
    "Неверный адрес регистра",
    "Неверное значение регистра",
    "Фатальная ошибка при выполнении запрошенного действия",
    "Контроллеру требуется время для выполнения запрошенного действия",
    "Контроллер выполняет ранее запрошенное действие",
    "Контроллер не может выполнить запрошенное действие",
    "Ошибка четности расширенной памяти",
    "Не мой адрес",
    "Ошибка CRC",
    "",  // 11: none of its own, the device's (a gateway's exception code)
    "Ответ не соответствует запросу",
};
constexpr std::string_view kUndocumented = "Не документированная ошибка";

}  // namespace

std::string GetErrorText(const Value& errCode) {
  for (std::size_t code = 0; code < kErrorTexts.size(); ++code) {
    if (!kErrorTexts[code].empty() && errCode == Value(static_cast<double>(code))) {
      return std::string(kErrorTexts[code]);
    }
  }
  return std::string(kUndocumented);
}

namespace status_text {

std::string Busy(std::string_view tagName) { return "Busy! " + std::string(tagName); }

std::string Timeout(std::string_view tagName) {
  return "MBdata/GetData: Timout при получении пакета " + std::string(tagName);
}

std::string BadCrc(std::string_view tagName) { return "Ошибка CRC приема " + std::string(tagName); }

std::string ForeignSlave(std::string_view tagName, std::uint8_t address) {
  return "Не мой адрес: (" + std::string(tagName) + ") - " + std::to_string(address);
}

std::string Exception(std::string_view tagName, std::uint8_t code) {
  return "Ошибка: (" + std::string(tagName) + ") - " + GetErrorText(Value(static_cast<double>(code)));
}

std::string NotAnAnswer(std::string_view tagName) {
  return "Ответ не соответствует запросу: (" + std::string(tagName) + ")";
}

}  // namespace status_text

}  // namespace dornvel
