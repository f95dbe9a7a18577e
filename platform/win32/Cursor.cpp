#include "Cursor.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "zkplatform/ZkPaths.h"

namespace {

struct CursorRecord {
  bool standard = false;
  SDL_SystemCursor shape = SDL_SYSTEM_CURSOR_ARROW;
  CursorImage image;
  // Never freed: SDL may already be shut down when the process ends.
  SDL_Cursor* sdl = nullptr;
};

constexpr uintptr_t kFirstHandle = 0x20000;

std::mutex g_lock;
std::vector<std::unique_ptr<CursorRecord>> g_cursors;
std::map<WORD, HCURSOR> g_standard;

// Shapes SDL lacks fall back to the arrow.
bool StandardShape(WORD id, SDL_SystemCursor& shape) {
  switch (id) {
    case 32512: shape = SDL_SYSTEM_CURSOR_ARROW; return true;      // IDC_ARROW
    case 32513: shape = SDL_SYSTEM_CURSOR_IBEAM; return true;      // IDC_IBEAM
    case 32514: shape = SDL_SYSTEM_CURSOR_WAIT; return true;       // IDC_WAIT
    case 32515: shape = SDL_SYSTEM_CURSOR_CROSSHAIR; return true;  // IDC_CROSS
    case 32516: shape = SDL_SYSTEM_CURSOR_ARROW; return true;      // IDC_UPARROW
    case 32640: shape = SDL_SYSTEM_CURSOR_SIZEALL; return true;    // IDC_SIZE
    case 32641: shape = SDL_SYSTEM_CURSOR_ARROW; return true;      // IDC_ICON
    case 32642: shape = SDL_SYSTEM_CURSOR_SIZENWSE; return true;   // IDC_SIZENWSE
    case 32643: shape = SDL_SYSTEM_CURSOR_SIZENESW; return true;   // IDC_SIZENESW
    case 32644: shape = SDL_SYSTEM_CURSOR_SIZEWE; return true;     // IDC_SIZEWE
    case 32645: shape = SDL_SYSTEM_CURSOR_SIZENS; return true;     // IDC_SIZENS
    case 32646: shape = SDL_SYSTEM_CURSOR_SIZEALL; return true;    // IDC_SIZEALL
    case 32648: shape = SDL_SYSTEM_CURSOR_NO; return true;         // IDC_NO
    case 32649: shape = SDL_SYSTEM_CURSOR_HAND; return true;       // IDC_HAND
    case 32650: shape = SDL_SYSTEM_CURSOR_WAITARROW; return true;  // IDC_APPSTARTING
    case 32651: shape = SDL_SYSTEM_CURSOR_ARROW; return true;      // IDC_HELP
    default: return false;
  }
}

HCURSOR AddLocked(std::unique_ptr<CursorRecord> record) {
  g_cursors.push_back(std::move(record));
  return reinterpret_cast<HCURSOR>(kFirstHandle + g_cursors.size() - 1);
}

CursorRecord* FindLocked(HCURSOR handle) {
  uintptr_t value = reinterpret_cast<uintptr_t>(handle);
  if (value < kFirstHandle || value - kFirstHandle >= g_cursors.size()) return nullptr;
  return g_cursors[value - kFirstHandle].get();
}

bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes) {
  FILE* file = ZkFileOpen(path, "rb");
  if (!file) return false;
  uint8_t buffer[4096];
  size_t got;
  // Cursor files are small; anything past a megabyte is not one.
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0 && bytes.size() < (1u << 20))
    bytes.insert(bytes.end(), buffer, buffer + got);
  bool ok = !std::ferror(file);
  std::fclose(file);
  return ok;
}

}  // namespace

HCURSOR Cursor::Standard(WORD id) {
  SDL_SystemCursor shape;
  if (!StandardShape(id, shape)) return nullptr;
  std::lock_guard<std::mutex> guard(g_lock);
  auto found = g_standard.find(id);
  if (found != g_standard.end()) return found->second;
  auto record = std::make_unique<CursorRecord>();
  record->standard = true;
  record->shape = shape;
  HCURSOR handle = AddLocked(std::move(record));
  g_standard[id] = handle;
  return handle;
}

HCURSOR Cursor::FromImage(CursorImage image) {
  auto record = std::make_unique<CursorRecord>();
  record->image = std::move(image);
  std::lock_guard<std::mutex> guard(g_lock);
  return AddLocked(std::move(record));
}

bool Cursor::IsCursor(HCURSOR handle) {
  std::lock_guard<std::mutex> guard(g_lock);
  return FindLocked(handle) != nullptr;
}

SDL_Cursor* Cursor::Sdl(HCURSOR handle) {
  std::lock_guard<std::mutex> guard(g_lock);
  CursorRecord* record = FindLocked(handle);
  if (!record) return nullptr;
  if (record->sdl) return record->sdl;
  if (record->standard) {
    record->sdl = SDL_CreateSystemCursor(record->shape);
  } else {
    const CursorImage& image = record->image;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint8_t*>(image.rgba.data()), image.width, image.height, 32, image.width * 4,
        SDL_PIXELFORMAT_RGBA32);
    if (surface) {
      record->sdl = SDL_CreateColorCursor(surface, image.hotX, image.hotY);
      SDL_FreeSurface(surface);
    }
  }
  return record->sdl;
}

HCURSOR LoadCursorA(HINSTANCE, LPCSTR lpCursorName) {
  // Named resources would come from a module's resources, which no module here carries.
  if (!lpCursorName || !IS_INTRESOURCE(lpCursorName)) return nullptr;
  return Cursor::Standard(LOWORD(lpCursorName));
}

HCURSOR LoadCursorFromFileA(LPCSTR lpFileName) {
  if (!lpFileName) return nullptr;
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(lpFileName, bytes)) return nullptr;
  CursorImage image;
  std::string error;
  if (!CursorFile::Decode(bytes, image, error)) {
    std::fprintf(stderr, "zkplatform: cursor \"%s\": %s\n", lpFileName, error.c_str());
    return nullptr;
  }
  return Cursor::FromImage(std::move(image));
}

HICON LoadIconA(HINSTANCE, LPCSTR lpIconName) {
  // The standard icons (IDI_APPLICATION ... IDI_WINLOGO); windows here carry no icon of their
  // own, so the handle only has to be a stable, recognisable value.
  if (!lpIconName || !IS_INTRESOURCE(lpIconName)) return nullptr;
  WORD id = LOWORD(lpIconName);
  if (id < 32512 || id > 32517) return nullptr;
  return reinterpret_cast<HICON>(static_cast<uintptr_t>(0x30000 + id));
}
