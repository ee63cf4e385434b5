// Counts the GDI objects (bitmaps, DCs, fonts, brushes, pens, regions) and
// window DCs this exe creates and has not given back, by patching the exe's own import table.
// GetGuiResources, the usual count, is a stub returning 0 under Wine. Objects made inside system
// DLLs (the picture decoder's) are not seen; everything our code makes is.
#pragma once

#include <windows.h>

#include <set>

namespace vantrel::testing {

class GdiTracker {
 public:
  static void Install() {
    static bool done = false;
    if (done) return;
    done = true;
    Patch("gdi32.dll", "CreateCompatibleBitmap", &CreateCompatibleBitmapHook, o_ccb);
    Patch("gdi32.dll", "CreateCompatibleDC", &CreateCompatibleDCHook, o_ccdc);
    Patch("gdi32.dll", "CreateFontW", &CreateFontWHook, o_font);
    Patch("gdi32.dll", "CreateDIBSection", &CreateDIBSectionHook, o_dib);
    Patch("gdi32.dll", "ExtCreateRegion", &ExtCreateRegionHook, o_ext);
    Patch("gdi32.dll", "CreateRectRgn", &CreateRectRgnHook, o_rect);
    Patch("gdi32.dll", "CreateSolidBrush", &CreateSolidBrushHook, o_brush);
    Patch("gdi32.dll", "CreatePen", &CreatePenHook, o_pen);
    Patch("gdi32.dll", "DeleteObject", &DeleteObjectHook, o_del);
    Patch("gdi32.dll", "DeleteDC", &DeleteDCHook, o_deldc);
    Patch("user32.dll", "CopyImage", &CopyImageHook, o_copy);
    Patch("user32.dll", "LoadImageW", &LoadImageWHook, o_load);
    Patch("user32.dll", "SetWindowRgn", &SetWindowRgnHook, o_swr);
    Patch("user32.dll", "GetDC", &GetDCHook, o_getdc);
    Patch("user32.dll", "GetWindowDC", &GetWindowDCHook, o_getwdc);
    Patch("user32.dll", "ReleaseDC", &ReleaseDCHook, o_reldc);
  }
  static size_t Live() { return live().size(); }

 private:
  static std::set<void*>& live() {
    static std::set<void*> s;
    return s;
  }
  template <typename R>
  static R Add(R h) {
    if (h) live().insert(reinterpret_cast<void*>(h));
    return h;
  }
  static void Remove(void* h) { live().erase(h); }

  template <typename Fn>
  static void Patch(const char* dll, const char* name, Fn hook, Fn& original) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const auto& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto target = reinterpret_cast<ULONG_PTR>(GetProcAddress(GetModuleHandleA(dll), name));
    original = reinterpret_cast<Fn>(target);
    for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
         imp->Name; ++imp) {
      for (auto* t = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk); t->u1.Function;
           ++t) {
        if (t->u1.Function != target) continue;
        DWORD old = 0;
        VirtualProtect(&t->u1.Function, sizeof(ULONG_PTR), PAGE_READWRITE, &old);
        t->u1.Function = reinterpret_cast<ULONG_PTR>(hook);
        VirtualProtect(&t->u1.Function, sizeof(ULONG_PTR), old, &old);
      }
    }
  }

  static inline decltype(&CreateCompatibleBitmap) o_ccb;
  static inline decltype(&CreateCompatibleDC) o_ccdc;
  static inline decltype(&CreateFontW) o_font;
  static inline decltype(&CreateDIBSection) o_dib;
  static inline decltype(&ExtCreateRegion) o_ext;
  static inline decltype(&CreateRectRgn) o_rect;
  static inline decltype(&CreateSolidBrush) o_brush;
  static inline decltype(&CreatePen) o_pen;
  static inline decltype(&GetWindowDC) o_getwdc;
  static inline decltype(&DeleteObject) o_del;
  static inline decltype(&DeleteDC) o_deldc;
  static inline decltype(&CopyImage) o_copy;
  static inline decltype(&LoadImageW) o_load;
  static inline decltype(&SetWindowRgn) o_swr;
  static inline decltype(&GetDC) o_getdc;
  static inline decltype(&ReleaseDC) o_reldc;

  static HBITMAP WINAPI CreateCompatibleBitmapHook(HDC dc, int w, int h) {
    return Add(o_ccb(dc, w, h));
  }
  static HDC WINAPI CreateCompatibleDCHook(HDC dc) { return Add(o_ccdc(dc)); }
  static HFONT WINAPI CreateFontWHook(int h, int w, int e, int o, int wt, DWORD i, DWORD u, DWORD s,
                                      DWORD cs, DWORD op, DWORD cp, DWORD q, DWORD pf,
                                      LPCWSTR face) {
    return Add(o_font(h, w, e, o, wt, i, u, s, cs, op, cp, q, pf, face));
  }
  static HBITMAP WINAPI CreateDIBSectionHook(HDC dc, const BITMAPINFO* bi, UINT u, void** bits,
                                             HANDLE sec, DWORD off) {
    return Add(o_dib(dc, bi, u, bits, sec, off));
  }
  static HRGN WINAPI ExtCreateRegionHook(const XFORM* x, DWORD n, const RGNDATA* d) {
    return Add(o_ext(x, n, d));
  }
  static HRGN WINAPI CreateRectRgnHook(int l, int t, int r, int b) {
    return Add(o_rect(l, t, r, b));
  }
  static HBRUSH WINAPI CreateSolidBrushHook(COLORREF c) { return Add(o_brush(c)); }
  static HPEN WINAPI CreatePenHook(int style, int width, COLORREF c) {
    return Add(o_pen(style, width, c));
  }
  static BOOL WINAPI DeleteObjectHook(HGDIOBJ h) {
    BOOL ok = o_del(h);
    if (ok) Remove(h);
    return ok;
  }
  static BOOL WINAPI DeleteDCHook(HDC h) {
    BOOL ok = o_deldc(h);
    if (ok) Remove(h);
    return ok;
  }
  static HANDLE WINAPI CopyImageHook(HANDLE h, UINT type, int cx, int cy, UINT flags) {
    return Add(o_copy(h, type, cx, cy, flags));
  }
  // A region given to a window is the system's from then on.
  static HANDLE WINAPI LoadImageWHook(HINSTANCE m, LPCWSTR name, UINT type, int cx, int cy,
                                      UINT flags) {
    HANDLE h = o_load(m, name, type, cx, cy, flags);
    return type == IMAGE_BITMAP ? Add(h) : h;
  }
  static int WINAPI SetWindowRgnHook(HWND w, HRGN r, BOOL redraw) {
    int ok = o_swr(w, r, redraw);
    if (ok) Remove(r);
    return ok;
  }
  static HDC WINAPI GetDCHook(HWND w) { return Add(o_getdc(w)); }
  static HDC WINAPI GetWindowDCHook(HWND w) { return Add(o_getwdc(w)); }
  static int WINAPI ReleaseDCHook(HWND w, HDC dc) {
    int ok = o_reldc(w, dc);
    if (ok) Remove(dc);
    return ok;
  }
};

}  // namespace vantrel::testing
