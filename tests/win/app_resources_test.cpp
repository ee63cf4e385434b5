// What Tevrin.exe carries: version resource, icon, bitmaps and a manifest
// asking for common controls 6 and system scaling of the fixed-pixel skin.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

const std::wstring kExe = std::wstring(VANTREL_DIST_DIR) + L"Tevrin.exe";

std::wstring VersionString(const wchar_t* key) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(kExe.c_str(), &ignored);
  if (!size) return L"<no version resource>";
  std::string block(size, '\0');
  if (!GetFileVersionInfoW(kExe.c_str(), 0, size, block.data())) return L"<unreadable>";
  void* value = nullptr;
  UINT len = 0;
  const std::wstring path = std::wstring(L"\\StringFileInfo\\040904b0\\") + key;
  if (!VerQueryValueW(block.data(), path.c_str(), &value, &len) || !len) return L"<missing>";
  return static_cast<const wchar_t*>(value);
}

TEST(AppResources, VersionNamesProductAndPublisher) {
  EXPECT_EQ(VersionString(L"ProductName"), L"Vantrel");
  EXPECT_EQ(VersionString(L"CompanyName"), L"Vantrel");
  EXPECT_EQ(VersionString(L"ProductVersion"), L"1.0.0");
  EXPECT_EQ(VersionString(L"OriginalFilename"), L"Tevrin.exe");
}

TEST(AppResources, IconBitmapsAndManifest) {
  HMODULE exe = LoadLibraryExW(kExe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_TRUE(exe);
  EXPECT_TRUE(FindResourceW(exe, MAKEINTRESOURCEW(128), RT_GROUP_ICON));
  for (int id : {137, 138, 139, 140, 143}) {
    EXPECT_TRUE(FindResourceW(exe, MAKEINTRESOURCEW(id), RT_BITMAP)) << id;
  }
  HRSRC manifest = FindResourceW(exe, MAKEINTRESOURCEW(1), RT_MANIFEST);
  ASSERT_TRUE(manifest);
  const char* text = static_cast<const char*>(LockResource(LoadResource(exe, manifest)));
  const std::string xml(text, SizeofResource(exe, manifest));
  EXPECT_NE(xml.find("Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
  EXPECT_NE(xml.find(">false</dpiAware>"), std::string::npos);
  FreeLibrary(exe);
}

}  // namespace
