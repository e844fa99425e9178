#include "app/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "platform/file_io.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::runtime;
using namespace ravelin::app;

namespace {

TEST(IniFile, NamesAreComparedWithoutLetterCase) {
  const IniFile ini = IniFile::fromText("[General]\nEdPath=/srv/ed\nLOG=1\n");
  EXPECT_EQ(ini.readString("general", "EDPATH", "x"), "/srv/ed");
  EXPECT_EQ(ini.readString("GENERAL", "edpath", "x"), "/srv/ed");
  EXPECT_TRUE(ini.sectionExists("gEnErAl"));
  EXPECT_TRUE(ini.valueExists("general", "log"));
  EXPECT_FALSE(ini.valueExists("general", "missing"));
  EXPECT_FALSE(ini.sectionExists("update"));
}

TEST(IniFile, BlanksAroundNamesAndValuesAreNotPartOfThem) {
  const IniFile ini =
      IniFile::fromText("  [ update ]  \n\t UpdTimeout \t=  12 \t\n Name = a b c \n");
  EXPECT_EQ(ini.readInteger("update", "UpdTimeout", 5), 12);
  EXPECT_EQ(ini.readString("update", "Name", ""), "a b c");
}

TEST(IniFile, ReadsLfAndCrLfAlike) {
  const IniFile lf = IniFile::fromText("[a]\nk1=v1\nk2=v2\n");
  const IniFile crlf = IniFile::fromText("[a]\r\nk1=v1\r\nk2=v2\r\n");
  const IniFile mixed = IniFile::fromText("[a]\r\nk1=v1\nk2=v2");
  for (const IniFile* ini : {&lf, &crlf, &mixed}) {
    EXPECT_EQ(ini->readString("a", "k1", ""), "v1");
    EXPECT_EQ(ini->readString("a", "k2", ""), "v2");
  }
}

TEST(IniFile, MissingKeysGiveTheDefault) {
  const IniFile ini = IniFile::fromText("[a]\nk=v\n");
  EXPECT_EQ(ini.readString("a", "other", "def"), "def");
  EXPECT_EQ(ini.readString("b", "k", "def"), "def");
  EXPECT_EQ(ini.readInteger("a", "other", 42), 42);
  EXPECT_TRUE(ini.readBool("a", "other", true));
  EXPECT_FALSE(ini.readBool("a", "other", false));
}

TEST(IniFile, AnEmptyValueIsAValue) {
  const IniFile ini = IniFile::fromText("[a]\nk=\n");
  EXPECT_TRUE(ini.valueExists("a", "k"));
  EXPECT_EQ(ini.readString("a", "k", "def"), "");
  EXPECT_EQ(ini.readInteger("a", "k", 7), 7);
}

TEST(IniFile, IntegersParseLikeTheRestOfTheSystem) {
  const IniFile ini = IniFile::fromText(
      "[n]\ndec=123\nneg=-45\nhex=$1F\nhex2=0x10\nword=abc\ntrail=12abc\nhuge=99999999999\n"
      "float=1.5\n");
  EXPECT_EQ(ini.readInteger("n", "dec", 0), 123);
  EXPECT_EQ(ini.readInteger("n", "neg", 0), -45);
  EXPECT_EQ(ini.readInteger("n", "hex", 0), 31);
  EXPECT_EQ(ini.readInteger("n", "hex2", 0), 16);
  EXPECT_EQ(ini.readInteger("n", "word", 9), 9);
  EXPECT_EQ(ini.readInteger("n", "trail", 9), 9);
  EXPECT_EQ(ini.readInteger("n", "huge", 9), 9);
  EXPECT_EQ(ini.readInteger("n", "float", 9), 9);
}

TEST(IniFile, BooleansAreIntegersAndOnlyZeroIsFalse) {
  const IniFile ini =
      IniFile::fromText("[b]\nzero=0\none=1\ntwo=2\nminus=-1\nyes=yes\ntrue=true\nempty=\n");
  EXPECT_FALSE(ini.readBool("b", "zero", true));
  EXPECT_TRUE(ini.readBool("b", "one", false));
  EXPECT_TRUE(ini.readBool("b", "two", false));
  EXPECT_TRUE(ini.readBool("b", "minus", false));
  // Not an integer: the default, whichever it is.
  EXPECT_FALSE(ini.readBool("b", "yes", false));
  EXPECT_TRUE(ini.readBool("b", "yes", true));
  EXPECT_FALSE(ini.readBool("b", "true", false));
  EXPECT_TRUE(ini.readBool("b", "empty", true));
}

TEST(IniFile, WritesBooleansAsOneAndZero) {
  IniFile ini;
  ini.writeBool("b", "on", true);
  ini.writeBool("b", "off", false);
  ini.writeInteger("b", "n", -17);
  EXPECT_EQ(ini.text(), test::SystemLines("[b]\non=1\noff=0\nn=-17\n"));
}

TEST(IniFile, CommentsAndOtherLinesAreNotKeys) {
  const IniFile ini = IniFile::fromText(
      "; k=commented\n[a]\n;k=no\n# k=no\nplain text line\nk=yes\n[broken\nk2=v2\n");
  EXPECT_EQ(ini.readString("a", "k", ""), "yes");
  // "[broken" is no header, so k2 still belongs to [a].
  EXPECT_EQ(ini.readString("a", "k2", ""), "v2");
  EXPECT_EQ(ini.readSection("a"), (std::vector<std::string>{"k", "k2"}));
}

TEST(IniFile, KeysBeforeTheFirstSectionBelongToNone) {
  const IniFile ini = IniFile::fromText("k=top\n[a]\nk=inner\n");
  EXPECT_EQ(ini.readString("a", "k", ""), "inner");
  EXPECT_EQ(ini.readString("", "k", "none"), "none");
}

TEST(IniFile, TheFirstOfTwoEqualKeysWins) {
  const IniFile ini = IniFile::fromText("[a]\nk=first\nK=second\n[b]\n[A]\nk=third\nj=4\n");
  EXPECT_EQ(ini.readString("a", "k", ""), "first");
  // The second part of [a] is still [a].
  EXPECT_EQ(ini.readString("a", "j", ""), "4");
  EXPECT_EQ(ini.readSection("a"), (std::vector<std::string>{"k", "j"}));
  EXPECT_EQ(ini.readSections(), (std::vector<std::string>{"a", "b"}));
  const auto values = ini.readSectionValues("a");
  ASSERT_EQ(values.size(), 2u);
  EXPECT_EQ(values[0], (std::pair<std::string, std::string>{"k", "first"}));
  EXPECT_EQ(values[1], (std::pair<std::string, std::string>{"j", "4"}));
}

TEST(IniFile, ValuesKeepEqualSignsAndOtherBytes) {
  const IniFile ini = IniFile::fromText(
      std::string("[a]\nurl=HTM|http://x/?a=b&c=d\nbin=\x01\xff") + std::string(1, '\0') + "z\n");
  EXPECT_EQ(ini.readString("a", "url", ""), "HTM|http://x/?a=b&c=d");
  EXPECT_EQ(ini.readString("a", "bin", ""), std::string("\x01\xff") + std::string(1, '\0') + "z");
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
  IniFile ini = IniFile::fromText(original);
  ini.writeString("GENERAL", "edpath", "/new");
  EXPECT_EQ(ini.text(),
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
  IniFile ini = IniFile::fromText("[a]\nk=1\n; trailing note\n\n; about b\n[b]\nx=2\n");
  ini.writeString("a", "new", "v");
  ini.writeString("b", "y", "3");
  EXPECT_EQ(ini.text(), "[a]\nk=1\nnew=v\n; trailing note\n\n; about b\n[b]\nx=2\ny=3\n");
}

TEST(IniFile, ANewKeyInAnEmptySectionGoesRightBehindItsHeader) {
  IniFile ini = IniFile::fromText("[a]\n\n[b]\n");
  ini.writeString("a", "k", "v");
  EXPECT_EQ(ini.text(), "[a]\nk=v\n\n[b]\n");
}

TEST(IniFile, NewSectionsGoAtTheEnd) {
  IniFile ini = IniFile::fromText("[a]\nk=1\n");
  ini.writeString("z", "k", "2");
  EXPECT_EQ(ini.text(), "[a]\nk=1\n\n[z]\nk=2\n");
  IniFile empty;
  empty.writeString("s", "k", "v");
  EXPECT_EQ(empty.text(), test::SystemLines("[s]\nk=v\n"));
}

TEST(IniFile, KeepsTheFilesLineEndStyle) {
  IniFile ini = IniFile::fromText("[a]\r\nk=1\r\n");
  ini.writeString("a", "k", "2");
  ini.writeString("a", "j", "3");
  ini.writeString("b", "x", "4");
  EXPECT_EQ(ini.text(), "[a]\r\nk=2\r\nj=3\r\n\r\n[b]\r\nx=4\r\n");
}

TEST(IniFile, ALastLineWithoutLineEndGetsOneWhenSomethingFollows) {
  IniFile ini = IniFile::fromText("[a]\r\nk=1");
  ini.writeString("a", "j", "2");
  EXPECT_EQ(ini.text(), "[a]\r\nk=1\r\nj=2\r\n");
  IniFile unchanged = IniFile::fromText("[a]\nk=1");
  unchanged.writeString("a", "k", "5");
  EXPECT_EQ(unchanged.text(), "[a]\nk=5");
}

TEST(IniFile, KeepsAByteOrderMark) {
  IniFile ini = IniFile::fromText("\xEF\xBB\xBF[a]\nk=1\n");
  EXPECT_EQ(ini.readString("a", "k", ""), "1");
  ini.writeString("a", "k", "2");
  EXPECT_EQ(ini.text(), "\xEF\xBB\xBF[a]\nk=2\n");
}

TEST(IniFile, UnchangedTextIsWrittenBackByteForByte) {
  const std::string text = "\xEF\xBB\xBF; x\r\n[a]\nk = v \r\n  junk\n[b\n=\n\r\n[c]]\nq=\x80\x81";
  EXPECT_EQ(IniFile::fromText(text).text(), text);
}

TEST(IniFile, ValuesAreWrittenAsOneTrimmedLine) {
  IniFile ini;
  ini.writeString("a", "k", "  two\r\nlines\n ");
  EXPECT_EQ(ini.readString("a", "k", ""), "two  lines");
  EXPECT_EQ(IniFile::fromText(ini.text()).readString("a", "k", ""), "two  lines");
  EXPECT_EQ(ini.readSection("a").size(), 1u);
}

TEST(IniFile, RefusesNamesTheFormatCannotHold) {
  IniFile ini;
  EXPECT_THROW(ini.writeString("a]", "k", "v"), std::invalid_argument);
  EXPECT_THROW(ini.writeString("a\nb", "k", "v"), std::invalid_argument);
  EXPECT_THROW(ini.writeString(" a", "k", "v"), std::invalid_argument);
  EXPECT_THROW(ini.writeString("a", "", "v"), std::invalid_argument);
  EXPECT_THROW(ini.writeString("a", "k=j", "v"), std::invalid_argument);
  EXPECT_THROW(ini.writeString("a", "k\n", "v"), std::invalid_argument);
  EXPECT_THROW(ini.writeString("a", ";k", "v"), std::invalid_argument);
  EXPECT_THROW(ini.writeString("a", "#k", "v"), std::invalid_argument);
  EXPECT_THROW(ini.writeString("a", "[k", "v"), std::invalid_argument);
  EXPECT_THROW(ini.writeString("a", " k", "v"), std::invalid_argument);
  EXPECT_EQ(ini.text(), "");
}

TEST(IniFile, EraseSectionRemovesEveryPartOfIt) {
  IniFile ini = IniFile::fromText(
      "[general]\nEDPath=/x\n\n[URLs]\nURL1=HTM|a\nURL2=MET|b\n; note\n\n[update]\nn=1\n"
      "[urls]\nURL9=x\n");
  ini.eraseSection("urls");
  EXPECT_FALSE(ini.sectionExists("URLs"));
  EXPECT_EQ(ini.text(), "[general]\nEDPath=/x\n\n[update]\nn=1\n");
  ini.eraseSection("missing");
  EXPECT_EQ(ini.text(), "[general]\nEDPath=/x\n\n[update]\nn=1\n");
}

TEST(IniFile, DeleteKeyRemovesOneLine) {
  IniFile ini = IniFile::fromText("[a]\nk=1\nj=2\n");
  ini.deleteKey("A", "K");
  ini.deleteKey("a", "missing");
  EXPECT_EQ(ini.text(), "[a]\nj=2\n");
}

TEST(IniFile, LoadsAndSavesAFile) {
  test::TempDir dir;
  const std::string path = dir.file("ravelin.ini");
  test::WriteFile(path, "[general]\r\n; keep\r\nEDPath=C:\\\r\n");
  IniFile ini(path);
  EXPECT_TRUE(ini.loaded());
  EXPECT_EQ(ini.fileName(), path);
  EXPECT_EQ(ini.readString("general", "EDPath", ""), "C:\\");
  ini.writeString("general", "LOG", "1");
  ini.updateFile();
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
  EXPECT_FALSE(ini.loaded());
  EXPECT_EQ(ini.readString("general", "EDPath", "def"), "def");
  EXPECT_FALSE(std::filesystem::exists(path));
  ini.writeInteger("update", "UpdTimeout", 9);
  ini.updateFile();
  EXPECT_EQ(IniFile(path).readInteger("update", "UpdTimeout", 0), 9);
}

TEST(IniFile, AnUnreadableFileIsNeverOverwritten) {
  test::TempDir dir;
  // A directory in the place of the file: it exists, but cannot be read as one.
  const std::string path = dir.file("ravelin.ini");
  std::filesystem::create_directory(path);
  test::WriteFile(path + "/inside", "data");
  IniFile ini(path);
  EXPECT_FALSE(ini.loaded());
  EXPECT_EQ(ini.readInteger("a", "k", 3), 3);
  ini.writeString("a", "k", "v");
  EXPECT_THROW(ini.updateFile(), platform::FileError);
  EXPECT_EQ(test::ReadFile(path + "/inside"), "data");
}

TEST(IniFile, SavingIntoAMissingDirectoryFails) {
  test::TempDir dir;
  IniFile ini(dir.file("no/such/dir/ravelin.ini"));
  ini.writeString("a", "k", "v");
  EXPECT_THROW(ini.updateFile(), platform::FileError);
  IniFile unnamed;
  EXPECT_THROW(unnamed.updateFile(), platform::FileError);
}

TEST(IniFile, ReadsTheFileAnewForEveryObject) {
  test::TempDir dir;
  const std::string path = dir.file("ravelin.ini");
  test::WriteFile(path, "[a]\nk=1\n");
  IniFile first(path);
  test::WriteFile(path, "[a]\nk=2\n");
  EXPECT_EQ(first.readInteger("a", "k", 0), 1);
  EXPECT_EQ(IniFile(path).readInteger("a", "k", 0), 2);
}

}  // namespace
