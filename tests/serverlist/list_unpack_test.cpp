// Packed list files given to the file imports.
#include <gtest/gtest.h>

#include <algorithm>

#include "serverlist/bot_file.h"
#include "serverlist/list_unpack.h"
#include "serverlist/met_file.h"
#include "serverlist/server_links.h"
#include "support/packed_lists.h"
#include "support/test_support.h"
#include "support/update_bodies.h"

using namespace ravelin::serverlist;
using test::ArchiveKind;

namespace {

class ListUnpackTest : public ::testing::Test {
 protected:
  test::TestApp app;
  test::RecordingProgressBar bar;
  ServerList list;
  std::string Put(const std::string& name, const std::string& bytes) {
    const std::string path = app.dir.file(name);
    test::WriteFile(path, bytes);
    return path;
  }
  bool Logged(const std::string& line) {
    const auto log = app.logLines();
    return std::find(log.begin(), log.end(), line) != log.end();
  }
};

TEST_F(ListUnpackTest, PackedFilesImportByContentWhateverTheirName) {
  const std::string met = test::MetBody(2, test::MetEntry(1, 2, 3, 4, 4661, "a", "b", 1) +
                                               test::MetEntry(5, 6, 7, 8, 4242, "c", "d", 2));
  const std::string gz = Put("plain.met", test::Gzip(met));
  readServersFromMet(list, gz, bar, app.ctx);
  const std::string tgz =
      Put("lists.zip",
          test::Archive(ArchiveKind::TarGz,
                        {{"notes.txt", "read me"}, {"dir/server.met", met}, {"other.met", met}}));
  ServerList second;
  readServersFromMet(second, tgz, bar, app.ctx);
  const std::string zip =
      Put("x.bin", test::Archive(ArchiveKind::Zip,
                                 {{"a.txt", "no links here"}, {"b.txt", "|server|9.9.9.9|4661|"}}));
  readServersFromHTML(list, zip, app.ctx);
  const std::string bot =
      Put("y", test::Archive(ArchiveKind::Tar, {{"l.bot", test::BotRecord(8, 8, 8, 8, 1, 0, 0)}}));
  readServersFromBOT(list, bot, bar, app.ctx);

  EXPECT_EQ(list.size(), 4u);
  EXPECT_EQ(second.size(), 2u);
  EXPECT_TRUE(Logged("Refreshed <2> servers from <" + gz + ">"));
  EXPECT_TRUE(Logged("Unpacked <dir/server.met> from <" + tgz + ">"));
  EXPECT_TRUE(Logged("Refreshed <2> servers from <" + tgz + ">"));
  EXPECT_TRUE(Logged("Unpacked <b.txt> from <" + zip + ">"));
  EXPECT_TRUE(Logged("Refreshed <1> servers from <" + zip + ">"));
  EXPECT_TRUE(Logged("Unpacked <l.bot> from <" + bot + ">"));
}

TEST_F(ListUnpackTest, UnusablePackingLeavesTheListAlone) {
  const std::string none = Put("a.zip", test::Archive(ArchiveKind::Zip, {{"r.txt", "text"}}));
  const std::string damaged = Put("b.gz", test::Gzip("abcdef").substr(0, 12));
  const std::string bomb = Put("c.gz", test::GzipBomb(1024));
  app.ctx.settings.MaxListMB = 8;
  readServersFromMet(list, none, bar, app.ctx);
  readServersFromBOT(list, damaged, bar, app.ctx);
  readServersFromHTML(list, bomb, app.ctx);
  EXPECT_TRUE(list.empty());
  EXPECT_FALSE(bar.visible());
  EXPECT_TRUE(app.prompter.shown.empty());
  EXPECT_TRUE(Logged("Skipped <" + none + ">: the archive holds no MET list"));
  EXPECT_TRUE(Logged("Skipped <" + damaged + ">: damaged gzip data (gzip data ends early)"));
  EXPECT_TRUE(Logged("Skipped <" + bomb + ">: it expands past MaxListMB (8 MB)"));
  EXPECT_EQ(app.logLines().size(), 3u);
}

// Every archiver's output gives the same member, past a long non-list before it (given up
// after its start) and under a long name; a zip whose data does not match its CRC is
// refused, and a zip bomb is stopped at the cap.
TEST(ListArchiveTest, EachArchiversOutputReadsAlikeAndDamageIsRefused) {
  std::string met = test::MetBody(1, test::MetEntry(1, 2, 3, 4, 4661, "a", "b", 1));
  while (met.size() < (200 << 10)) met += "list tail " + std::to_string(met.size());
  const std::string longName = std::string(120, 'd') + "/server.met";
  for (ArchiveKind kind : {ArchiveKind::Zip, ArchiveKind::ZipStreamed, ArchiveKind::PyZipStored,
                           ArchiveKind::PyZipDeflated, ArchiveKind::PyZipStreamed, ArchiveKind::Tar,
                           ArchiveKind::TarUstar, ArchiveKind::TarGnu, ArchiveKind::TarGz,
                           ArchiveKind::BsdZip, ArchiveKind::BsdTar}) {
    const UnpackedList got =
        unpackList(test::Archive(kind, {{"readme.txt", std::string(9000, 'r')}, {longName, met}}),
                   ListContent::Met, 1 << 20);
    EXPECT_EQ(got.member, longName) << static_cast<int>(kind);
    EXPECT_TRUE(got.data == met) << static_cast<int>(kind);
  }

  std::string zip = test::Archive(ArchiveKind::PyZipStored, {{"l.bot", ":one\n:two\n"}});
  zip[zip.find(":two")] = '!';
  const auto error = [](const std::string& bytes, std::uint64_t cap) -> std::string {
    try {
      unpackList(bytes, ListContent::Bot, cap);
    } catch (const ListUnpackError& e) {
      return e.what();
    }
    return "no error";
  };
  EXPECT_EQ(error(zip, 1 << 20), "damaged archive (CRC-32 mismatch in l.bot)");
  const std::string bomb =
      test::Archive(ArchiveKind::Zip, {{"a.bot", ":" + std::string(16 << 20, '\0')}});
  EXPECT_LT(bomb.size(), 32u << 10);
  EXPECT_EQ(error(bomb, 4 << 20), "it expands past MaxListMB (4 MB)");
}

}  // namespace
