#include "framework/AngelScriptOutStream.h"

#include "framework/Logger.h"

void geCAngelScriptOutStream::Write(const char* szText) {
  if (szText && *szText) g_ScriptLogger.Log("%s", szText);
}

geCAngelScriptOutStream g_AngelScriptOutStream;
