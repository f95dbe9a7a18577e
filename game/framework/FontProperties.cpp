#include "framework/FontProperties.h"

bool geHasFontProperty(const geCProperties& properties, const char* szName) {
  return properties.Get(szName).GetType() != geCVariant::TYPE_EMPTY;
}

float geReadFontScale(const geCProperties& properties, const char* szName, float fDefault) {
  return geHasFontProperty(properties, szName)
             ? static_cast<float>(properties.Get(szName).AsDouble())
             : fDefault;
}
