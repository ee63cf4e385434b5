#include "skin/lang_strings.h"

#include <map>
#include <memory>
#include <utility>

#include "win/win_util.h"

namespace vantrel::skin {

HMODULE LangModule() {
  static HMODULE module = nullptr;
  if (!module) {
    // Only resources are needed: no code of the module runs.
    module = LoadLibraryExW((win::ApplicationDirectory() + L"lang.dll").c_str(), nullptr,
                            LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) win::DebugTrace(L"lang.dll not loaded\n");
  }
  return module;
}

void LoadLangStrings(UINT first, int count, TextTable& table) {
  HMODULE module = LangModule();
  for (int k = 0; k < count; ++k) {
    wchar_t buffer[260] = {};
    const int n = module ? LoadStringW(module, first + k, buffer, 260) : 0;
    table.emplace_back(buffer, n > 0 ? static_cast<size_t>(n) : 0);
  }
}

const TextTable& Texts(UINT first, int count) {
  static std::map<std::pair<UINT, int>, std::unique_ptr<TextTable>> cache;
  std::unique_ptr<TextTable>& table = cache[{first, count}];
  if (!table) {
    table = std::make_unique<TextTable>();
    LoadLangStrings(first, count, *table);
  }
  return *table;
}

const std::wstring& Text(UINT id) { return TextAt(Texts(id, 1), 0); }

std::wstring TextWith(UINT id, std::wstring_view fill) {
  std::wstring text = Text(id);
  size_t at = text.find(L"%s");
  if (at == std::wstring::npos) at = text.find(L"%d");
  if (at != std::wstring::npos) text.replace(at, 2, fill);
  return text;
}

const std::wstring& TextAt(const TextTable& table, size_t index) {
  static const std::wstring empty;
  return index < table.size() ? table[index] : empty;
}

}  // namespace vantrel::skin
