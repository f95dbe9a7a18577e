#pragma once
// Writes one generated file, making its folders; false, with a message on standard error, when
// it could not be written.
#include <filesystem>
#include <string>

bool WriteDemoFile(const std::filesystem::path& path, const std::string& bytes);
