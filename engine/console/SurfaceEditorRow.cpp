#include "console/SurfaceEditorRow.h"

#include <cstring>

namespace {

constexpr const char kWindow[] = "ZeKorb/Console/SurfaceEditorWindow/";
using Row = SurfaceEditorRow;

const SurfaceEditorRow kRows[] = {
    {"Color", "Color", Row::kColour, 0, 0.0f, 1.0f, 0.0f, &CSurfaceInterface::GetColorREnvelope,
     {15, 16, 17}, 1, 2, 1},
    {"Difuse", "Difuse", Row::kValue, 1, 0.0f, 1.0f, 0.0f, &CSurfaceInterface::GetDiffuseEnvelope,
     {1}, 7, 0, 1},
    {"Luminosity", "Luminosity", Row::kValue, 9, 0.0f, 1.0f, 0.0f,
     &CSurfaceInterface::GetLuminosityEnvelope, {9}, 16, 0, 4},
    {"SpecularGloss", "Specular Gloss", Row::kValue, 2, 0.0f, 1.0f, 0.0f,
     &CSurfaceInterface::GetSpecularGlossinessEnvelope, {2}, 8, 0, 2},
    {"SpecularExp", "Specular Exp", Row::kValue, 3, 0.0f, 1.0f, 0.0f,
     &CSurfaceInterface::GetSpecularExponentEnvelope, {3}, 9, 0, 3},
    {"Transparency", "Transparency", Row::kValue, 6, 0.0f, 1.0f, 0.0f,
     &CSurfaceInterface::GetTransparencyEnvelope, {6}, 12, 0, 4},
    {"Refraction", "Refraction", Row::kValue, 4, 1.0f, 3.0f, 1.0f,
     &CSurfaceInterface::GetRefractionEnvelope, {4}, 10, 0, 3},
    {"Reflection", "Reflection", Row::kValue, 5, 0.0f, 1.0f, 0.0f,
     &CSurfaceInterface::GetReflectionEnvelope, {5}, 11, 0, 4},
    {"Fresnel", "Fresnel", Row::kValue, 8, 0.0f, 1.0f, 0.0f, &CSurfaceInterface::GetFresnelEnvelope,
     {8}, 15, 0, 2},
    {"Translucency", "Translucency", Row::kValue, 10, 0.0f, 1.0f, 0.0f,
     &CSurfaceInterface::GetTranslucencyEnvelope, {10}, 17, 0, 1},
    {"Bump", "Bump", Row::kBump, 0, 0.0f, 0.0f, 0.0f, nullptr, {}, 13, 0, 1},
    {"Height", "Height", Row::kHeight, 0, 0.0f, 0.0f, 0.0f, nullptr, {}, 20, 0, 1},
};

}  // namespace

std::span<const SurfaceEditorRow> SurfaceEditorRow::Table() { return kRows; }

const SurfaceEditorRow* SurfaceEditorRow::OfWidget(const std::string& windowName) {
  const size_t prefix = sizeof kWindow - 1;
  if (windowName.compare(0, prefix, kWindow) != 0) return nullptr;
  const size_t end = windowName.find('/', prefix);
  if (end == std::string::npos) return nullptr;
  const std::string key = windowName.substr(prefix, end - prefix);
  for (const SurfaceEditorRow& row : kRows)
    if (key == row.key) return &row;
  return nullptr;
}

std::string SurfaceEditorRow::Widget(const char* column) const {
  return std::string(kWindow) + key + "/" + column;
}
