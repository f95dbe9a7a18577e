#include "ZipWriter.h"

#include <archive.h>
#include <archive_entry.h>

#include <memory>
#include <stdexcept>

ZipWriter& ZipWriter::Add(const std::string& name, const std::string& data) {
  m_members.emplace_back(name, data);
  return *this;
}

void ZipWriter::Write(const std::string& path) const {
  std::unique_ptr<archive, decltype(&archive_write_free)> writer(archive_write_new(),
                                                                 &archive_write_free);
  auto check = [&](int result) {
    if (result < ARCHIVE_WARN)
      throw std::runtime_error(std::string("zip writer: ") + archive_error_string(writer.get()));
  };
  check(archive_write_set_format_zip(writer.get()));
  if (!m_password.empty()) {
    check(archive_write_set_options(writer.get(), "zip:encryption=traditional"));
    check(archive_write_set_passphrase(writer.get(), m_password.c_str()));
  }
  check(archive_write_open_filename(writer.get(), path.c_str()));
  for (const auto& [name, data] : m_members) {
    std::unique_ptr<archive_entry, decltype(&archive_entry_free)> entry(archive_entry_new(),
                                                                        &archive_entry_free);
    archive_entry_set_pathname(entry.get(), name.c_str());
    archive_entry_set_filetype(entry.get(), AE_IFREG);
    archive_entry_set_perm(entry.get(), 0644);
    archive_entry_set_size(entry.get(), static_cast<la_int64_t>(data.size()));
    check(archive_write_header(writer.get(), entry.get()));
    if (archive_write_data(writer.get(), data.data(), data.size()) !=
        static_cast<la_ssize_t>(data.size()))
      check(ARCHIVE_FATAL);
  }
  check(archive_write_close(writer.get()));
}
