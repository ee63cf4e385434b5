// The default skin as the program will meet it: every skin file read with the
// private-profile functions, every picture it names decoded by the OLE picture
// loader, at one size per window, with every button rectangle inside it.
#include <gtest/gtest.h>
#include <ole2.h>
#include <olectl.h>
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

std::wstring SkinDir() {
  wchar_t buf[MAX_PATH] = {};
  DWORD n = GetEnvironmentVariableW(L"VANTREL_SKIN_DIR", buf, MAX_PATH);
  std::wstring dir(buf, n < MAX_PATH ? n : 0);
  for (auto& c : dir) {
    if (c == L'/') c = L'\\';
  }
  return dir + L"\\";
}

std::wstring Read(const std::wstring& ini, const wchar_t* section, const wchar_t* key) {
  wchar_t buf[4096] = {};
  GetPrivateProfileStringW(section, key, L"", buf, 4096, ini.c_str());
  return buf;
}

// Decodes a picture file the way the skin loader does; returns its size or
// {0, 0} when the platform cannot decode it.
SIZE LoadedSize(const std::wstring& path) {
  SIZE size{};
  HANDLE f =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return size;
  DWORD len = GetFileSize(f, nullptr);
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, len);
  DWORD got = 0;
  if (mem) {
    ReadFile(f, GlobalLock(mem), len, &got, nullptr);
    GlobalUnlock(mem);
  }
  CloseHandle(f);
  IStream* stream = nullptr;
  if (!mem || got != len || FAILED(CreateStreamOnHGlobal(mem, TRUE, &stream))) {
    if (mem) GlobalFree(mem);
    return size;
  }
  IPicture* pic = nullptr;
  if (SUCCEEDED(OleLoadPicture(stream, len, FALSE, IID_IPicture, reinterpret_cast<void**>(&pic)))) {
    OLE_HANDLE handle = 0;
    BITMAP bm{};
    if (SUCCEEDED(pic->get_Handle(&handle)) &&
        GetObjectW(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)), sizeof bm, &bm)) {
      size = {bm.bmWidth, bm.bmHeight};
    }
    pic->Release();
  }
  stream->Release();
  return size;
}

struct Window {
  const wchar_t* file;
  const wchar_t* disabled_key;
  std::vector<std::wstring> keys;
};

std::vector<std::wstring> Numbers(int first, int last) {
  std::vector<std::wstring> out;
  for (int i = first; i <= last; ++i) out.push_back(std::to_wstring(i));
  return out;
}

const std::vector<Window>& Windows() {
  static const std::vector<Window> windows = {
      {L"skin_Config.ini",
       L"Disable",
       {L"1", L"2", L"3", L"4", L"25", L"10", L"6", L"7", L"8", L"9", L"11", L"12", L"13", L"15",
        L"21", L"22", L"20", L"16", L"17"}},
      {L"skin_main.ini", L"Disabled", Numbers(40, 153)},
      {L"Skin_color_control.ini", L"Disabled", {L"1", L"0", L"20"}},
      {L"Skin_light_control.ini", L"Disabled", {L"0", L"1"}},
      {L"skin_swap_key.ini", L"Disabled", {L"2", L"3", L"5", L"4"}},
      {L"Skin_Macro_control.ini", L"Disabled", Numbers(4, 9)},
      {L"skin_macro_manager.ini",
       L"Disabled",
       {L"4", L"5", L"7", L"8", L"9", L"1", L"2", L"3", L"12", L"15", L"13", L"14", L"6", L"11"}},
      {L"skin_Shortcut.ini", L"Disabled", {L"2", L"3", L"4", L"6", L"7", L"8", L"9", L"10", L"11"}},
      {L"skin_Profile.ini", L"Disabled", {L"4", L"5", L"6", L"3", L"1", L"2"}},
      {L"skin_reset_warn.ini", L"Disabled", {L"1", L"2", L"3"}},
      {L"skin_wait.ini", L"Disabled", {}},
  };
  return windows;
}

class SkinPictures : public ::testing::TestWithParam<size_t> {
 protected:
  static void SetUpTestSuite() { OleInitialize(nullptr); }
  static void TearDownTestSuite() { OleUninitialize(); }
};

TEST_P(SkinPictures, DecodeAtOneSizeAndHoldEveryButton) {
  const Window& w = Windows()[GetParam()];
  const std::wstring dir = SkinDir();
  const std::wstring ini = dir + w.file;
  SIZE first{};
  for (const wchar_t* key : {L"Mask", L"Normal", L"Down", L"Over", w.disabled_key}) {
    std::wstring name = Read(ini, L"SCREEN", key);
    ASSERT_FALSE(name.empty()) << key;
    SIZE s = LoadedSize(dir + name);
    EXPECT_GT(s.cx, 0) << "not decoded: " << std::string(name.begin(), name.end());
    if (first.cx == 0) first = s;
    EXPECT_EQ(s.cx, first.cx);
    EXPECT_EQ(s.cy, first.cy);
  }
  for (const auto& key : w.keys) {
    std::wstring value = Read(ini, L"BUTTONPOS", key.c_str());
    size_t comma = value.find(L',');
    ASSERT_NE(comma, std::wstring::npos) << "key " << key.size();
    int x = 0, y = 0, cx = 0, cy = 0;
    ASSERT_EQ(swscanf(value.c_str() + comma + 1, L"%d,%d,%d,%d", &x, &y, &cx, &cy), 4);
    EXPECT_TRUE(x >= 0 && y >= 0 && cx > 0 && cy > 0 && x + cx <= first.cx && y + cy <= first.cy)
        << std::string(value.begin(), value.end());
  }
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, SkinPictures, ::testing::Range<size_t>(0, 11));

}  // namespace
