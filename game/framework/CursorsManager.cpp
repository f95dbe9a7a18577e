#include "framework/CursorsManager.h"

size_t geCCursorsManager::GetClassSize() const { return sizeof(geCCursorsManager); }
