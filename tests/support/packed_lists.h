#pragma once
// Packed server lists for the tests: gzip through zlib, a gzip bomb built from one small
// member repeated, and zip and tar archives made by the archivers themselves.
#include <zlib.h>

#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "support/peer_process.h"
#include "support/test_support.h"

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

// Archives made by the tools people pack lists with.
enum class ArchiveKind {
  Zip,            // Info-ZIP's zip, also writing to a pipe (zip64 end, data descriptors)
  ZipStreamed,    //
  PyZipStored,    // Python's zipfile
  PyZipDeflated,  //
  PyZipStreamed,  // Python's zipfile writing to a pipe: sizes in data descriptors
  Tar,            // GNU tar in its pax, ustar and gnu formats
  TarUstar,       //
  TarGnu,         //
  TarGz,          // GNU tar through gzip
  BsdZip,         // bsdtar (libarchive's tool) in zip and its default tar format
  BsdTar,         //
};

// An archive of the given (name, content) members, in order, made by the tool itself.
inline std::string Archive(ArchiveKind kind,
                           const std::vector<std::pair<std::string, std::string>>& members) {
  static const std::map<ArchiveKind, std::string> kCommands = {
      {ArchiveKind::Zip, "zip -q ../packed.out \"$@\""},
      {ArchiveKind::ZipStreamed, "zip -q - \"$@\" | cat > ../packed.out"},
      {ArchiveKind::PyZipStored, "python3 ../zip.py ../packed.out 0 \"$@\""},
      {ArchiveKind::PyZipDeflated, "python3 ../zip.py ../packed.out 8 \"$@\""},
      {ArchiveKind::PyZipStreamed, "python3 ../zip.py - 8 \"$@\" | cat > ../packed.out"},
      {ArchiveKind::Tar, "tar --format=pax -cf ../packed.out \"$@\""},
      {ArchiveKind::TarUstar, "tar --format=ustar -cf ../packed.out \"$@\""},
      {ArchiveKind::TarGnu, "tar --format=gnu -cf ../packed.out \"$@\""},
      {ArchiveKind::TarGz, "tar -czf ../packed.out \"$@\""},
      {ArchiveKind::BsdZip, "bsdtar --format=zip -cf ../packed.out \"$@\""},
      {ArchiveKind::BsdTar, "bsdtar -cf ../packed.out \"$@\""},
  };
  TempDir dir;
  WriteFile(dir.file("zip.py"),
            "import sys, zipfile\n"
            "out = sys.stdout.buffer if sys.argv[1] == '-' else sys.argv[1]\n"
            "with zipfile.ZipFile(out, 'w', int(sys.argv[2])) as z:\n"
            "    for name in sys.argv[3:]: z.write(name)\n");
  const std::filesystem::path files = dir.path() / "files";
  std::string names;
  for (const auto& [name, content] : members) {
    std::filesystem::create_directories((files / name).parent_path());
    WriteFile((files / name).string(), content);
    names += " '" + name + "'";
  }
  // The members go in by name, in order, from a shell in the files' directory.
  const std::string script =
      "cd '" + UnixPath(files.string()) + "' && set --" + names + " && " + kCommands.at(kind);
  if (!RunProgram({"sh", "-c", script}) || !std::filesystem::exists(dir.file("packed.out")))
    throw std::runtime_error("could not run: " + script);
  return ReadFile(dir.file("packed.out"));
}

}  // namespace test
