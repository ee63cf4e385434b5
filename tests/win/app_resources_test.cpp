// What Tevrin.exe carries: version resource, icon, bitmaps and a manifest
// asking for common controls 6 and system scaling of the fixed-pixel skin.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

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
  EXPECT_NE(xml.find(">true</gdiScaling>"), std::string::npos);
  FreeLibrary(exe);
}

// The DLL names of the exe's ordinary import table (loaded before the
// program's first line runs), lower-case; empty when the file is unreadable.
std::vector<std::string> StartupImports() {
  std::ifstream in(std::filesystem::path(kExe), std::ios::binary);
  const std::vector<unsigned char> f((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
  auto u32 = [&f](size_t at) -> DWORD {
    return at + 4 <= f.size() ? f[at] | f[at + 1] << 8 | f[at + 2] << 16 | DWORD{f[at + 3]} << 24
                              : 0;
  };
  auto u16 = [&f](size_t at) -> WORD { return at + 2 <= f.size() ? f[at] | f[at + 1] << 8 : 0; };
  std::vector<std::string> names;
  const size_t nt = u32(0x3C);
  if (u32(nt) != IMAGE_NT_SIGNATURE) return names;
  const size_t optional = nt + 24;
  if (u16(optional) != IMAGE_NT_OPTIONAL_HDR64_MAGIC) return names;
  const DWORD import_rva = u32(optional + 112 + 8 * IMAGE_DIRECTORY_ENTRY_IMPORT);
  const size_t sections = optional + u16(nt + 20);
  const WORD section_count = u16(nt + 6);
  auto offset_of = [&](DWORD rva) -> size_t {
    for (WORD i = 0; i < section_count; ++i) {
      const size_t h = sections + i * 40;
      const DWORD va = u32(h + 12), size = u32(h + 16), raw = u32(h + 20);
      if (rva >= va && rva < va + size) return raw + (rva - va);
    }
    return f.size();
  };
  for (size_t d = offset_of(import_rva); d + 20 <= f.size() && u32(d + 12); d += 20) {
    std::string name;
    for (size_t at = offset_of(u32(d + 12)); at < f.size() && f[at] && name.size() < 64; ++at)
      name += static_cast<char>(std::tolower(f[at]));
    names.push_back(name);
  }
  return names;
}

// Whatever is imported directly is loaded before the window can start;
// under Wine the shell and file-dialog DLLs bring OLE, the spooler and more
// with them. These are delay-loaded on first use.
TEST(AppResources, RarelyUsedDllsAreNotLoadedAtStartUp) {
  const std::vector<std::string> imports = StartupImports();
  ASSERT_NE(std::find(imports.begin(), imports.end(), "user32.dll"), imports.end());
  for (const char* dll :
       {"shell32.dll", "comdlg32.dll", "ole32.dll", "oleaut32.dll", "msimg32.dll"})
    EXPECT_EQ(std::find(imports.begin(), imports.end(), dll), imports.end()) << dll;
}

}  // namespace
