#include "app/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "platform/file_io.h"
#include "support/test_support.h"

namespace {

TEST(IniFile, NamesAreComparedWithoutLetterCase) {
  const IniFile ini = IniFile::Parse("[General]\nEdPath=/srv/ed\nLOG=1\n");
  EXPECT_EQ(ini.ReadString("general", "EDPATH", "x"), "/srv/ed");
  EXPECT_EQ(ini.ReadString("GENERAL", "edpath", "x"), "/srv/ed");
  EXPECT_TRUE(ini.SectionExists("gEnErAl"));
  EXPECT_TRUE(ini.ValueExists("general", "log"));
  EXPECT_FALSE(ini.ValueExists("general", "missing"));
  EXPECT_FALSE(ini.SectionExists("update"));
}

TEST(IniFile, BlanksAroundNamesAndValuesAreNotPartOfThem) {
  const IniFile ini = IniFile::Parse("  [ update ]  \n\t UpdTimeout \t=  12 \t\n Name = a b c \n");
  EXPECT_EQ(ini.ReadInteger("update", "UpdTimeout", 5), 12);
  EXPECT_EQ(ini.ReadString("update", "Name", ""), "a b c");
}

TEST(IniFile, ReadsLfAndCrLfAlike) {
  const IniFile lf = IniFile::Parse("[a]\nk1=v1\nk2=v2\n");
  const IniFile crlf = IniFile::Parse("[a]\r\nk1=v1\r\nk2=v2\r\n");
  const IniFile mixed = IniFile::Parse("[a]\r\nk1=v1\nk2=v2");
  for (const IniFile* ini : {&lf, &crlf, &mixed}) {
    EXPECT_EQ(ini->ReadString("a", "k1", ""), "v1");
    EXPECT_EQ(ini->ReadString("a", "k2", ""), "v2");
  }
}

TEST(IniFile, MissingKeysGiveTheDefault) {
  const IniFile ini = IniFile::Parse("[a]\nk=v\n");
  EXPECT_EQ(ini.ReadString("a", "other", "def"), "def");
  EXPECT_EQ(ini.ReadString("b", "k", "def"), "def");
  EXPECT_EQ(ini.ReadInteger("a", "other", 42), 42);
  EXPECT_TRUE(ini.ReadBool("a", "other", true));
  EXPECT_FALSE(ini.ReadBool("a", "other", false));
}

TEST(IniFile, AnEmptyValueIsAValue) {
  const IniFile ini = IniFile::Parse("[a]\nk=\n");
  EXPECT_TRUE(ini.ValueExists("a", "k"));
  EXPECT_EQ(ini.ReadString("a", "k", "def"), "");
  EXPECT_EQ(ini.ReadInteger("a", "k", 7), 7);
}

TEST(IniFile, IntegersParseLikeTheRestOfTheSystem) {
  const IniFile ini = IniFile::Parse(
      "[n]\ndec=123\nneg=-45\nhex=$1F\nhex2=0x10\nword=abc\ntrail=12abc\nhuge=99999999999\n"
      "float=1.5\n");
  EXPECT_EQ(ini.ReadInteger("n", "dec", 0), 123);
  EXPECT_EQ(ini.ReadInteger("n", "neg", 0), -45);
  EXPECT_EQ(ini.ReadInteger("n", "hex", 0), 31);
  EXPECT_EQ(ini.ReadInteger("n", "hex2", 0), 16);
  EXPECT_EQ(ini.ReadInteger("n", "word", 9), 9);
  EXPECT_EQ(ini.ReadInteger("n", "trail", 9), 9);
  EXPECT_EQ(ini.ReadInteger("n", "huge", 9), 9);
  EXPECT_EQ(ini.ReadInteger("n", "float", 9), 9);
}

TEST(IniFile, BooleansAreIntegersAndOnlyZeroIsFalse) {
  const IniFile ini =
      IniFile::Parse("[b]\nzero=0\none=1\ntwo=2\nminus=-1\nyes=yes\ntrue=true\nempty=\n");
  EXPECT_FALSE(ini.ReadBool("b", "zero", true));
  EXPECT_TRUE(ini.ReadBool("b", "one", false));
  EXPECT_TRUE(ini.ReadBool("b", "two", false));
  EXPECT_TRUE(ini.ReadBool("b", "minus", false));
  // Not an integer: the default, whichever it is.
  EXPECT_FALSE(ini.ReadBool("b", "yes", false));
  EXPECT_TRUE(ini.ReadBool("b", "yes", true));
  EXPECT_FALSE(ini.ReadBool("b", "true", false));
  EXPECT_TRUE(ini.ReadBool("b", "empty", true));
}

TEST(IniFile, WritesBooleansAsOneAndZero) {
  IniFile ini;
  ini.WriteBool("b", "on", true);
  ini.WriteBool("b", "off", false);
  ini.WriteInteger("b", "n", -17);
  EXPECT_EQ(ini.Text(), "[b]\non=1\noff=0\nn=-17\n");
}

TEST(IniFile, CommentsAndOtherLinesAreNotKeys) {
  const IniFile ini =
      IniFile::Parse("; k=commented\n[a]\n;k=no\n# k=no\nplain text line\nk=yes\n[broken\nk2=v2\n");
  EXPECT_EQ(ini.ReadString("a", "k", ""), "yes");
  // "[broken" is no header, so k2 still belongs to [a].
  EXPECT_EQ(ini.ReadString("a", "k2", ""), "v2");
  EXPECT_EQ(ini.ReadSection("a"), (std::vector<std::string>{"k", "k2"}));
}

TEST(IniFile, KeysBeforeTheFirstSectionBelongToNone) {
  const IniFile ini = IniFile::Parse("k=top\n[a]\nk=inner\n");
  EXPECT_EQ(ini.ReadString("a", "k", ""), "inner");
  EXPECT_EQ(ini.ReadString("", "k", "none"), "none");
}

TEST(IniFile, TheFirstOfTwoEqualKeysWins) {
  const IniFile ini = IniFile::Parse("[a]\nk=first\nK=second\n[b]\n[A]\nk=third\nj=4\n");
  EXPECT_EQ(ini.ReadString("a", "k", ""), "first");
  // The second part of [a] is still [a].
  EXPECT_EQ(ini.ReadString("a", "j", ""), "4");
  EXPECT_EQ(ini.ReadSection("a"), (std::vector<std::string>{"k", "j"}));
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"a", "b"}));
  const auto values = ini.ReadSectionValues("a");
  ASSERT_EQ(values.size(), 2u);
  EXPECT_EQ(values[0], (std::pair<std::string, std::string>{"k", "first"}));
  EXPECT_EQ(values[1], (std::pair<std::string, std::string>{"j", "4"}));
}

TEST(IniFile, ValuesKeepEqualSignsAndOtherBytes) {
  const IniFile ini = IniFile::Parse(std::string("[a]\nurl=HTM|http://x/?a=b&c=d\nbin=\x01\xff") +
                                     std::string(1, '\0') + "z\n");
  EXPECT_EQ(ini.ReadString("a", "url", ""), "HTM|http://x/?a=b&c=d");
  EXPECT_EQ(ini.ReadString("a", "bin", ""), std::string("\x01\xff") + std::string(1, '\0') + "z");
}

TEST(IniFile, WritingAKeyReplacesOnlyItsLine) {
  const std::string original =
      "; Ravelin settings\n"
      "[general]\n"
      "EDPath=/old\n"
      "; the client\n"
      "Unknown=keep me\n"
      "EDFilename=amule\n"
      "\n"
      "[other]\n"
      "x=1\n";
  IniFile ini = IniFile::Parse(original);
  ini.WriteString("GENERAL", "edpath", "/new");
  EXPECT_EQ(ini.Text(),
            "; Ravelin settings\n"
            "[general]\n"
            "edpath=/new\n"
            "; the client\n"
            "Unknown=keep me\n"
            "EDFilename=amule\n"
            "\n"
            "[other]\n"
            "x=1\n");
}

TEST(IniFile, NewKeysGoBehindTheLastKeyOfTheirSection) {
  IniFile ini = IniFile::Parse("[a]\nk=1\n; trailing note\n\n; about b\n[b]\nx=2\n");
  ini.WriteString("a", "new", "v");
  ini.WriteString("b", "y", "3");
  EXPECT_EQ(ini.Text(), "[a]\nk=1\nnew=v\n; trailing note\n\n; about b\n[b]\nx=2\ny=3\n");
}

TEST(IniFile, ANewKeyInAnEmptySectionGoesRightBehindItsHeader) {
  IniFile ini = IniFile::Parse("[a]\n\n[b]\n");
  ini.WriteString("a", "k", "v");
  EXPECT_EQ(ini.Text(), "[a]\nk=v\n\n[b]\n");
}

TEST(IniFile, NewSectionsGoAtTheEnd) {
  IniFile ini = IniFile::Parse("[a]\nk=1\n");
  ini.WriteString("z", "k", "2");
  EXPECT_EQ(ini.Text(), "[a]\nk=1\n\n[z]\nk=2\n");
  IniFile empty;
  empty.WriteString("s", "k", "v");
  EXPECT_EQ(empty.Text(), "[s]\nk=v\n");
}

TEST(IniFile, KeepsTheFilesLineEndStyle) {
  IniFile ini = IniFile::Parse("[a]\r\nk=1\r\n");
  ini.WriteString("a", "k", "2");
  ini.WriteString("a", "j", "3");
  ini.WriteString("b", "x", "4");
  EXPECT_EQ(ini.Text(), "[a]\r\nk=2\r\nj=3\r\n\r\n[b]\r\nx=4\r\n");
}

TEST(IniFile, ALastLineWithoutLineEndGetsOneWhenSomethingFollows) {
  IniFile ini = IniFile::Parse("[a]\r\nk=1");
  ini.WriteString("a", "j", "2");
  EXPECT_EQ(ini.Text(), "[a]\r\nk=1\r\nj=2\r\n");
  IniFile unchanged = IniFile::Parse("[a]\nk=1");
  unchanged.WriteString("a", "k", "5");
  EXPECT_EQ(unchanged.Text(), "[a]\nk=5");
}

TEST(IniFile, KeepsAByteOrderMark) {
  IniFile ini = IniFile::Parse("\xEF\xBB\xBF[a]\nk=1\n");
  EXPECT_EQ(ini.ReadString("a", "k", ""), "1");
  ini.WriteString("a", "k", "2");
  EXPECT_EQ(ini.Text(), "\xEF\xBB\xBF[a]\nk=2\n");
}

TEST(IniFile, UnchangedTextIsWrittenBackByteForByte) {
  const std::string text = "\xEF\xBB\xBF; x\r\n[a]\nk = v \r\n  junk\n[b\n=\n\r\n[c]]\nq=\x80\x81";
  EXPECT_EQ(IniFile::Parse(text).Text(), text);
}

TEST(IniFile, ValuesAreWrittenAsOneTrimmedLine) {
  IniFile ini;
  ini.WriteString("a", "k", "  two\r\nlines\n ");
  EXPECT_EQ(ini.ReadString("a", "k", ""), "two  lines");
  EXPECT_EQ(IniFile::Parse(ini.Text()).ReadString("a", "k", ""), "two  lines");
  EXPECT_EQ(ini.ReadSection("a").size(), 1u);
}

TEST(IniFile, RefusesNamesTheFormatCannotHold) {
  IniFile ini;
  EXPECT_THROW(ini.WriteString("a]", "k", "v"), std::invalid_argument);
  EXPECT_THROW(ini.WriteString("a\nb", "k", "v"), std::invalid_argument);
  EXPECT_THROW(ini.WriteString(" a", "k", "v"), std::invalid_argument);
  EXPECT_THROW(ini.WriteString("a", "", "v"), std::invalid_argument);
  EXPECT_THROW(ini.WriteString("a", "k=j", "v"), std::invalid_argument);
  EXPECT_THROW(ini.WriteString("a", "k\n", "v"), std::invalid_argument);
  EXPECT_THROW(ini.WriteString("a", ";k", "v"), std::invalid_argument);
  EXPECT_THROW(ini.WriteString("a", "#k", "v"), std::invalid_argument);
  EXPECT_THROW(ini.WriteString("a", "[k", "v"), std::invalid_argument);
  EXPECT_THROW(ini.WriteString("a", " k", "v"), std::invalid_argument);
  EXPECT_EQ(ini.Text(), "");
}

TEST(IniFile, EraseSectionRemovesEveryPartOfIt) {
  IniFile ini = IniFile::Parse(
      "[general]\nEDPath=/x\n\n[URLs]\nURL1=HTM|a\nURL2=MET|b\n; note\n\n[update]\nn=1\n"
      "[urls]\nURL9=x\n");
  ini.EraseSection("urls");
  EXPECT_FALSE(ini.SectionExists("URLs"));
  EXPECT_EQ(ini.Text(), "[general]\nEDPath=/x\n\n[update]\nn=1\n");
  ini.EraseSection("missing");
  EXPECT_EQ(ini.Text(), "[general]\nEDPath=/x\n\n[update]\nn=1\n");
}

TEST(IniFile, DeleteKeyRemovesOneLine) {
  IniFile ini = IniFile::Parse("[a]\nk=1\nj=2\n");
  ini.DeleteKey("A", "K");
  ini.DeleteKey("a", "missing");
  EXPECT_EQ(ini.Text(), "[a]\nj=2\n");
}

TEST(IniFile, LoadsAndSavesAFile) {
  test::TempDir dir;
  const std::string path = dir.file("ravelin.ini");
  test::WriteFile(path, "[general]\r\n; keep\r\nEDPath=C:\\\r\n");
  IniFile ini(path);
  EXPECT_TRUE(ini.Loaded());
  EXPECT_EQ(ini.FileName(), path);
  EXPECT_EQ(ini.ReadString("general", "EDPath", ""), "C:\\");
  ini.WriteString("general", "LOG", "1");
  ini.UpdateFile();
  EXPECT_EQ(test::ReadFile(path), "[general]\r\n; keep\r\nEDPath=C:\\\r\nLOG=1\r\n");
  // Nothing else is left in the directory (no temporary file).
  int files = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 1);
}

TEST(IniFile, AMissingFileReadsEmptyAndIsCreatedOnlyBySaving) {
  test::TempDir dir;
  const std::string path = dir.file("ravelin.ini");
  IniFile ini(path);
  EXPECT_FALSE(ini.Loaded());
  EXPECT_EQ(ini.ReadString("general", "EDPath", "def"), "def");
  EXPECT_FALSE(std::filesystem::exists(path));
  ini.WriteInteger("update", "UpdTimeout", 9);
  ini.UpdateFile();
  EXPECT_EQ(IniFile(path).ReadInteger("update", "UpdTimeout", 0), 9);
}

TEST(IniFile, AnUnreadableFileIsNeverOverwritten) {
  test::TempDir dir;
  // A directory in the place of the file: it exists, but cannot be read as one.
  const std::string path = dir.file("ravelin.ini");
  std::filesystem::create_directory(path);
  test::WriteFile(path + "/inside", "data");
  IniFile ini(path);
  EXPECT_FALSE(ini.Loaded());
  EXPECT_EQ(ini.ReadInteger("a", "k", 3), 3);
  ini.WriteString("a", "k", "v");
  EXPECT_THROW(ini.UpdateFile(), platform::EFileError);
  EXPECT_EQ(test::ReadFile(path + "/inside"), "data");
}

TEST(IniFile, SavingIntoAMissingDirectoryFails) {
  test::TempDir dir;
  IniFile ini(dir.file("no/such/dir/ravelin.ini"));
  ini.WriteString("a", "k", "v");
  EXPECT_THROW(ini.UpdateFile(), platform::EFileError);
  IniFile unnamed;
  EXPECT_THROW(unnamed.UpdateFile(), platform::EFileError);
}

TEST(IniFile, ReadsTheFileAnewForEveryObject) {
  test::TempDir dir;
  const std::string path = dir.file("ravelin.ini");
  test::WriteFile(path, "[a]\nk=1\n");
  IniFile first(path);
  test::WriteFile(path, "[a]\nk=2\n");
  EXPECT_EQ(first.ReadInteger("a", "k", 0), 1);
  EXPECT_EQ(IniFile(path).ReadInteger("a", "k", 0), 2);
}

}  // namespace
