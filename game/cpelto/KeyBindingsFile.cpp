#include "cpelto/KeyBindingsFile.h"

#include <tinyxml.h>

#include <cstdio>

#include "framework/FileExists.h"
#include "framework/Logger.h"
#include "framework/XmlDocument.h"
#include "zkplatform/ZkPaths.h"

void KeyBindingsFile::Load(KeyBindings& bindings) {
  if (!FileExists(kPath)) {
    g_GameLogger.Log("NOT EXIST, can't load file '%s', generating defaults\n", kPath);
    Save(bindings);
    return;
  }
  const TiXmlDocument document = LoadXmlDocument(kPath);
  const TiXmlElement* pElement = document.FirstChildElement("KeyBindings");
  if (!pElement) return;
  for (const KeyBindingEntry& entry : kKeyBindingEntries) {
    int nValue = 0;
    if (pElement->Attribute(entry.szName, &nValue))
      bindings.*entry.pField = static_cast<DWORD>(nValue);
  }
}

void KeyBindingsFile::Save(const KeyBindings& bindings) {
  TiXmlDocument document;
  TiXmlElement element("KeyBindings");
  for (const KeyBindingEntry& entry : kKeyBindingEntries)
    element.SetAttribute(entry.szName, static_cast<int>(bindings.*entry.pField));
  document.InsertEndChild(element);
  FILE* pFile = ZkFileOpen(kPath, "w");
  if (!pFile) return;
  document.Print(pFile);
  fclose(pFile);
}
