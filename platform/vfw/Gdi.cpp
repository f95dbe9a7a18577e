// GDI over CMemoryDC and CDibSection.
#include "../shell/HandleRegistry.h"
#include "../shell/MediaLog.h"
#include "DibSection.h"
#include "GdiObjects.h"
#include "MemoryDC.h"
#include "windows.h"

namespace {

CHandleRegistry<CMemoryDC> g_dcs;
CHandleRegistry<CDibSection> g_bitmaps;

}  // namespace

CMemoryDC* FindMemoryDC(HDC hdc) { return g_dcs.Find(hdc); }

HDC CreateCompatibleDC(HDC) {
  CMemoryDC* dc = new CMemoryDC;
  g_dcs.Add(dc);
  return reinterpret_cast<HDC>(dc);
}

BOOL DeleteDC(HDC hdc) {
  CMemoryDC* dc = g_dcs.Find(hdc);
  if (!dc || !g_dcs.Remove(dc)) return FALSE;
  dc->Select(nullptr);
  delete dc;
  return TRUE;
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD) {
  if (bits) *bits = nullptr;
  if (!info || usage != DIB_RGB_COLORS || section) {
    ZkMediaLog("gdi", "CreateDIBSection: only DIB_RGB_COLORS sections in memory are offered");
    return nullptr;
  }
  std::unique_ptr<CDibSection> bitmap = CDibSection::Create(info->bmiHeader);
  if (!bitmap) {
    ZkMediaLog("gdi", "CreateDIBSection: unsupported bitmap %dx%d, %u bits, compression %u",
               info->bmiHeader.biWidth, info->bmiHeader.biHeight, info->bmiHeader.biBitCount,
               info->bmiHeader.biCompression);
    return nullptr;
  }
  if (bits) *bits = bitmap->Bits();
  g_bitmaps.Add(bitmap.get());
  return reinterpret_cast<HBITMAP>(bitmap.release());
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object) {
  CMemoryDC* dc = g_dcs.Find(hdc);
  CDibSection* bitmap = g_bitmaps.Find(object);
  if (!dc || !bitmap) return nullptr;
  return dc->Select(bitmap);
}

BOOL DeleteObject(HGDIOBJ object) {
  CDibSection* bitmap = g_bitmaps.Find(object);
  if (!bitmap || bitmap->SelectedInto()) return FALSE;
  g_bitmaps.Remove(bitmap);
  delete bitmap;
  return TRUE;
}
