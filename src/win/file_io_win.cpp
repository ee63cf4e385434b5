#include "win/file_io_win.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#include "model/ini_file.h"

namespace vantrel::win {
namespace {

bool WriteAll(HANDLE file, std::span<const std::uint8_t> bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written != chunk)
      return false;
    done += written;
  }
  return true;
}

bool RenameByHandle(HANDLE file, const std::wstring& target) {
  const size_t name_bytes = target.size() * sizeof(wchar_t);
  if (name_bytes > 0xFFFF) return false;
  std::vector<std::uint8_t> buffer(sizeof(FILE_RENAME_INFO) + name_bytes);
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  info->ReplaceIfExists = TRUE;
  info->RootDirectory = nullptr;
  info->FileNameLength = static_cast<DWORD>(name_bytes);
  // The struct's one-character name array leaves room for the terminator.
  static_assert(sizeof(FILE_RENAME_INFO) - offsetof(FILE_RENAME_INFO, FileName) >= sizeof(wchar_t));
  std::memcpy(info->FileName, target.c_str(), name_bytes + sizeof(wchar_t));
  return SetFileInformationByHandle(file, FileRenameInfo, info,
                                    static_cast<DWORD>(buffer.size())) != FALSE;
}

}  // namespace

void UsePlatformFileIo() {
  SetReadFileFunction(&ReadWholeFile);
  SetWriteReplaceFunction(&WriteAndReplace);
}

bool ReadWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& out) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  bool ok = GetFileSizeEx(file, &size) != FALSE &&
            static_cast<std::uintmax_t>(size.QuadPart) <= kMaxIniFileBytes;
  if (ok) {
    out.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (ok && done < out.size()) {
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(out.size() - done, 1u << 30));
      DWORD got = 0;
      ok = ReadFile(file, out.data() + done, chunk, &got, nullptr) != FALSE;
      if (got == 0) break;  // the file became shorter
      done += got;
    }
    out.resize(done);
  }
  CloseHandle(file);
  return ok;
}

bool WriteAndReplace(const std::filesystem::path& temporary, const std::filesystem::path& target,
                     std::span<const std::uint8_t> bytes, bool flush,
                     const std::filesystem::path& keep_previous) {
  std::error_code ec;
  const std::filesystem::path full_target = std::filesystem::absolute(target, ec);
  if (ec) return false;
  HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = WriteAll(file, bytes) && (!flush || FlushFileBuffers(file));
  if (ok && !keep_previous.empty()) {
    // The last good copy: the old file under a second name. Not having one
    // does not stop the save.
    DeleteFileW(keep_previous.c_str());
    if (!CreateHardLinkW(keep_previous.c_str(), full_target.c_str(), nullptr) &&
        GetLastError() != ERROR_FILE_NOT_FOUND && GetLastError() != ERROR_PATH_NOT_FOUND) {
      CopyFileW(full_target.c_str(), keep_previous.c_str(), FALSE);
    }
  }
  bool renamed = ok && RenameByHandle(file, full_target.wstring());
  if (!ok) {
    FILE_DISPOSITION_INFO remove{TRUE};
    SetFileInformationByHandle(file, FileDispositionInfo, &remove, sizeof remove);
  }
  CloseHandle(file);
  if (ok && !renamed) {
    // A system that takes no rename by handle still moves the file by name.
    renamed =
        MoveFileExW(temporary.c_str(), full_target.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    if (!renamed) DeleteFileW(temporary.c_str());
  }
  if (!ok) DeleteFileW(temporary.c_str());
  return ok && renamed;
}

}  // namespace vantrel::win
