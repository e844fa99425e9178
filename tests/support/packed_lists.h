#pragma once
// Packed server lists for the tests, fuzz seeds and benchmarks: gzip through zlib, zip and
// tar through libarchive, and a gzip bomb built from one small member repeated.
#include <archive.h>
#include <archive_entry.h>
#include <zlib.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace test {

inline std::string Gzip(const std::string& plain) {
  z_stream z{};
  if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::runtime_error("deflateInit2");
  std::string out(deflateBound(&z, plain.size()) + 64, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(plain.data()));
  z.avail_in = static_cast<uInt>(plain.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  const int rc = deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  if (rc != Z_STREAM_END) throw std::runtime_error("deflate");
  return out;
}

// gzip data that expands to members x 1 MiB of zeros, in `members` gzip members of about
// a kilobyte each: 1024 members make a gigabyte from one megabyte.
inline std::string GzipBomb(int members) {
  const std::string one = Gzip(std::string(1 << 20, '\0'));
  std::string out;
  out.reserve(one.size() * static_cast<std::size_t>(members));
  for (int i = 0; i < members; ++i) out += one;
  return out;
}

enum class ArchiveKind { Zip, Tar, TarGz };

// An archive of the given (name, content) members, in order.
inline std::string Archive(ArchiveKind kind,
                           const std::vector<std::pair<std::string, std::string>>& members) {
  archive* a = archive_write_new();
  if (kind == ArchiveKind::Zip)
    archive_write_set_format_zip(a);
  else
    archive_write_set_format_pax_restricted(a);
  if (kind == ArchiveKind::TarGz) archive_write_add_filter_gzip(a);
  std::string out(1 << 20, '\0');
  for (const auto& [name, content] : members) out.resize(out.size() + content.size() * 2);
  std::size_t used = 0;
  if (archive_write_open_memory(a, out.data(), out.size(), &used) != ARCHIVE_OK)
    throw std::runtime_error(archive_error_string(a));
  for (const auto& [name, content] : members) {
    archive_entry* e = archive_entry_new();
    archive_entry_set_pathname(e, name.c_str());
    archive_entry_set_size(e, static_cast<la_int64_t>(content.size()));
    archive_entry_set_filetype(e, AE_IFREG);
    archive_entry_set_perm(e, 0644);
    archive_write_header(a, e);
    archive_write_data(a, content.data(), content.size());
    archive_entry_free(e);
  }
  archive_write_close(a);
  archive_write_free(a);
  out.resize(used);
  return out;
}

}  // namespace test
