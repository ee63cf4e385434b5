// Fixed texts from the language module lang.dll beside the executable.
//
//   const TextTable& texts = Texts(900, 26);   // IDs 900..925, loaded once
//   DrawTextW(dc, TextAt(texts, 3).c_str(), ...);
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace vantrel::skin {

// Entry k of a window's table is the string with ID first + k.
using TextTable = std::vector<std::wstring>;

// Appends `count` strings (IDs first .. first + count - 1) to `table`. A
// missing module or string appends an empty text, so entries keep their
// indexes. The module is loaded once per process, from
// ApplicationDirectory(), as a data file, and never unloaded.
void LoadLangStrings(UINT first, int count, TextTable& table);

// The table of IDs first .. first + count - 1, loaded on first use and
// kept for the process: every window of a kind reads the same one.
const TextTable& Texts(UINT first, int count);

// Entry `index`, or an empty text when the table is shorter.
const std::wstring& TextAt(const TextTable& table, size_t index);

// Text `id` alone (Texts(id, 1)'s entry).
const std::wstring& Text(UINT id);
// Text `id` with its first "%s" or "%d" replaced by `fill` (no format
// string is ever run on a text of the module).
std::wstring TextWith(UINT id, std::wstring_view fill);
// The name a screen reader reads for every window's close button.
inline const std::wstring& CloseButtonName() { return Text(117); }

// The language module, loading it on first use; nullptr when absent.
HMODULE LangModule();

}  // namespace vantrel::skin
