#pragma once
// The program's music and sound effects: streams of the engine's sound server under numeric ids,
// in two program-wide tables (music, sounds). Ids come from one program-wide counter, start at 1
// and are never reused; 0 means no stream.
#include <windef.h>

#include <map>
#include <string>

#include "framework/BaseObject.h"

class TonarisStream;

// Stream kinds: music, and anything else is a sound effect.
constexpr DWORD kTonarisKindMusic = 1;
constexpr DWORD kTonarisKindSound = 2;

extern std::map<DWORD, TonarisStream*> g_mapTonarisMusic;
extern std::map<DWORD, TonarisStream*> g_mapTonarisSounds;
extern DWORD g_dwTonarisCounter;
// Volumes 0 to 100 that new streams of each kind get; the scripts change them.
extern int g_nMusicVolume;
extern int g_nSoundVolume;

class geCTonarisManager : public geCBaseObject {
 public:
  // Empties both program-wide tables.
  geCTonarisManager();
  // Releases every stream of both tables.
  ~geCTonarisManager() override;

  size_t GetClassSize() const override;

  // Loads the file through the engine's sound server into the table of its kind and gives it
  // the kind's volume; the new id, or 0 when there is no server or the file does not load.
  static DWORD LoadStream(const char* szFile, DWORD dwFlags, DWORD dwKind);
  // Releases and forgets the stream; an unknown id is ignored.
  void RemoveStream(DWORD dwID);
  // The stream of that id in either table, or null.
  static TonarisStream* FindStream(DWORD dwID);
  // The stream a name of the table stands for; a name that is not there is logged.
  static TonarisStream* FindStreamByName(const std::map<std::string, DWORD>& mapNames,
                                         const char* szName);
};
