#pragma once
// GDI: memory device contexts and DIB sections, enough for video frames to be drawn into memory
// that the caller then copies into a texture. Nothing here reaches a screen.
#include "windef.h"

#define BI_RGB 0L
#define BI_BITFIELDS 3L
#define DIB_RGB_COLORS 0
#define DIB_PAL_COLORS 1
#define HGDI_ERROR ((HGDIOBJ)(LONG_PTR)-1)

typedef struct tagRGBQUAD {
  BYTE rgbBlue;
  BYTE rgbGreen;
  BYTE rgbRed;
  BYTE rgbReserved;
} RGBQUAD, *LPRGBQUAD;

typedef struct tagBITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;  // > 0: rows from the bottom up; < 0: from the top down
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
} BITMAPINFOHEADER, *PBITMAPINFOHEADER, *LPBITMAPINFOHEADER;

typedef struct tagBITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
} BITMAPINFO, *PBITMAPINFO, *LPBITMAPINFO;

static_assert(sizeof(RGBQUAD) == 4);
static_assert(sizeof(BITMAPINFOHEADER) == 40);
static_assert(sizeof(BITMAPINFO) == 44);

// A memory device context; `hdc` is ignored (there is no screen to be compatible with).
ZKAPI HDC CreateCompatibleDC(HDC hdc);
ZKAPI BOOL DeleteDC(HDC hdc);
// A DIB section of 24 or 32 bits per pixel, BI_RGB, its pixels zeroed and returned in *ppvBits.
// File mappings (hSection) are not offered: it must be null.
ZKAPI HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* pbmi, UINT usage, void** ppvBits,
                               HANDLE hSection, DWORD offset);
// Selects a DIB section into a memory DC; returns the previously selected one (null for none),
// or null when either handle is unknown.
ZKAPI HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h);
// Deletes a DIB section; FALSE for an unknown handle or one still selected into a DC.
ZKAPI BOOL DeleteObject(HGDIOBJ ho);
