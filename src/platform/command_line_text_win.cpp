#include <windows.h>

#include <string>

#include "platform/command_line_text.h"

namespace dornvel {

namespace {

std::wstring Wide(const std::string& utf8) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), size);
  return wide;
}

bool WriteAll(HANDLE handle, const std::string& text) {
  DWORD written = 0;
  return WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
}

}  // namespace

void ShowCommandLineText(const std::string& text, bool isError) {
  // Redirected (`dornvel --help > help.txt`, `| more`), or given by a parent
  // that is not a console (Wine from a Linux shell): the handle is there.
  const HANDLE standard = GetStdHandle(isError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  if (standard != nullptr && standard != INVALID_HANDLE_VALUE && GetFileType(standard) != FILE_TYPE_UNKNOWN &&
      WriteAll(standard, text)) {
    return;
  }
  // Started from cmd or PowerShell: the prompt does not wait for a window
  // program, so the text follows the prompt it has already shown.
  if (AttachConsole(ATTACH_PARENT_PROCESS)) {
    const HANDLE console = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (console != INVALID_HANDLE_VALUE) {
      const std::wstring wide = L"\r\n" + Wide(text);
      DWORD written = 0;
      WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
      CloseHandle(console);
      FreeConsole();
      return;
    }
    FreeConsole();
  }
  MessageBoxW(nullptr, Wide(text).c_str(), L"dornvel", MB_OK | (isError ? MB_ICONERROR : MB_ICONINFORMATION));
}

}  // namespace dornvel
