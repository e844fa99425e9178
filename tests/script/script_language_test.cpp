#include <gtest/gtest.h>

#include "runtime/silent_abort.h"
#include "script/script_language.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::runtime;
using namespace ravelin::script;

namespace {

using Lines = std::vector<std::string>;

std::optional<ScriptSyntaxError> RunCheck(const Lines& lines) {
  return findScriptSyntaxError(lines, SyntaxRules::Run);
}

std::string RunMessage(const std::string& line) {
  const auto e = RunCheck({line});
  return e ? e->message : std::string("<ok>");
}

std::string EditorMessage(const std::string& line) {
  const auto e = findScriptSyntaxError({line}, SyntaxRules::Editor);
  return e ? e->message : std::string("<ok>");
}

}  // namespace

TEST(ScriptCatalogue, ListsTheThirtyCommandsInDialogOrder) {
  const char* expected[] = {"CheckAll",
                            "ClearList",
                            "CloseUtils",
                            "Delay[<Time>]",
                            "Filter[<name><operator><value>]",
                            "HideWindows",
                            "InvertSelection",
                            "RefreshCustomBOT[<Filename>]",
                            "RefreshCustomHTML[<Filename>]",
                            "RefreshCustomMET[<Filename>]",
                            "RefreshEDonkeyMET",
                            "SaveCustomBOT[<Filename>]",
                            "SaveCustomHTML[<Filename>]",
                            "SaveCustomMET[<Filename>]",
                            "SaveCustomTXT[<Filename>]",
                            "SaveEDonkeyMET",
                            "SaveRunningEDonkey",
                            "SaveTemplate[<Template>|<Filename>]",
                            "SendToEDonkeyConsole[<Text>]",
                            "SetPref[<Preference>]",
                            "StartEDonkey",
                            "StartFile[<Filename>]",
                            "UnCheckAll",
                            "UpdateFromAll",
                            "UpdateFromBOT",
                            "UpdateFromDNS",
                            "UpdateFromHTML",
                            "UpdateFromMET",
                            "VerifyAll",
                            "VerifyChecked"};
  ASSERT_EQ(scriptCommands().size(), 30u);
  for (size_t i = 0; i < 30; ++i) {
    const ScriptCommandInfo& info = scriptCommands()[i];
    EXPECT_STREQ(info.entry, expected[i]);
    EXPECT_EQ(static_cast<size_t>(info.command), i);
    // The entry is the name, with its brackets exactly when the command takes some.
    const std::string entry = info.entry;
    EXPECT_EQ(entry.starts_with(std::string(info.name) + "["), info.bracket) << entry;
    EXPECT_EQ(entry == info.name, !info.bracket) << entry;
  }
}

TEST(ScriptCatalogue, DescriptionsAndInsertedLines) {
  const auto& delay = scriptCommandInfoOf(ScriptCommand::Delay);
  EXPECT_EQ(scriptCommandDescription(delay),
            "\"Delay[<Time>]\" waits <Time> seconds with the processing\r\n\r\nExample:\r\n"
            "Delay[5]");
  EXPECT_EQ(scriptCommandInsertText(delay), "Delay[]");
  EXPECT_EQ(scriptCommandInsertText(scriptCommandInfoOf(ScriptCommand::SaveTemplate)),
            "SaveTemplate[|]");
  EXPECT_EQ(scriptCommandInsertText(scriptCommandInfoOf(ScriptCommand::Filter)), "Filter[]");
  EXPECT_EQ(scriptCommandInsertText(scriptCommandInfoOf(ScriptCommand::CheckAll)), "CheckAll");
  const std::string filter = scriptCommandDescription(scriptCommandInfoOf(ScriptCommand::Filter));
  EXPECT_NE(filter.find("\r\n\r\nExamples:\r\nFilter[IP=213.45.67.21] //Only the the IP"),
            std::string::npos);
  const std::string pref = scriptCommandDescription(scriptCommandInfoOf(ScriptCommand::SetPref));
  EXPECT_TRUE(pref.ends_with("Example:\r\nSetPref[low]\r\nSetPref[normal]\r\nSetPref[high]"));
  // Windows users read of eMule, its folders and "start"; Linux users of aMule.
  const auto& met = scriptCommandInfoOf(ScriptCommand::RefreshCustomMET);
  EXPECT_TRUE(scriptCommandDescription(met, true).ends_with(
      "Example:\r\nRefreshCustomMET[~/AppData/Local/eMule/config/"
      "server.met]\r\nRefreshCustomMET[C:\\Program "
      "Files\\eMule\\config\\server.met]"));
  EXPECT_TRUE(
      scriptCommandDescription(met, false).ends_with("RefreshCustomMET[~/.aMule/server.met]"));
  const auto& start = scriptCommandInfoOf(ScriptCommand::StartFile);
  EXPECT_NE(scriptCommandDescription(start, true).find("application (start)"), std::string::npos);
  EXPECT_NE(scriptCommandDescription(start, false).find("(xdg-open)"), std::string::npos);
  // Every catalogue example, of either system, passes the check before a run.
  for (const bool windows : {false, true})
    for (const auto& info : scriptCommands())
      for (const char* example : scriptCommandExamples(info, windows)) {
        std::string line = example;
        const auto comment = line.find(" //");
        if (comment != std::string::npos) line.resize(comment);
        EXPECT_FALSE(RunCheck({line})) << line;
      }
}

TEST(ScriptLineMatching, PlainCommandsIgnoreLetterCaseButNotBlanks) {
  for (const char* line : {"checkall", "CHECKALL", "CheckAll"}) {
    const ScriptLine l = matchScriptLine(line);
    EXPECT_EQ(l.kind, ScriptLine::Kind::Plain) << line;
    EXPECT_EQ(l.command, ScriptCommand::CheckAll);
  }
  EXPECT_EQ(matchScriptLine("CheckAll ").kind, ScriptLine::Kind::Unknown);
  EXPECT_EQ(matchScriptLine(" CheckAll").kind, ScriptLine::Kind::Unknown);
  // A plain command written with brackets is no command, nor a bracket command without.
  EXPECT_EQ(matchScriptLine("CheckAll[]").kind, ScriptLine::Kind::Unknown);
  EXPECT_EQ(matchScriptLine("Delay").kind, ScriptLine::Kind::Unknown);
  EXPECT_EQ(matchScriptLine("UnCheckAll").command, ScriptCommand::UnCheckAll);
}

TEST(ScriptLineMatching, BracketCommandsSplitRestAndArgument) {
  ScriptLine l = matchScriptLine("savecustommet[/tmp/A.met]");
  EXPECT_EQ(l.kind, ScriptLine::Kind::Bracket);
  EXPECT_EQ(l.command, ScriptCommand::SaveCustomMET);
  EXPECT_EQ(l.rest, "/tmp/A.met]");  // letter case of the argument is kept
  EXPECT_EQ(l.argument, "/tmp/A.met");
  EXPECT_TRUE(l.closed);
  EXPECT_EQ(l.filePath(), "/tmp/A.met");

  l = matchScriptLine("SaveCustomMET[/tmp/a]b.met] ");
  EXPECT_EQ(l.argument, "/tmp/a");
  EXPECT_EQ(l.filePath(), "/tmp/a]b.met]");

  l = matchScriptLine("Delay[5");
  EXPECT_FALSE(l.closed);
  EXPECT_EQ(l.argument, "5");

  l = matchScriptLine("Filter[]");
  EXPECT_TRUE(l.restIsJustBracket());
  EXPECT_EQ(l.argument, "");
}

TEST(ScriptLineMatching, CommentsAndBlankLines) {
  EXPECT_EQ(matchScriptLine("").kind, ScriptLine::Kind::Blank);
  EXPECT_EQ(matchScriptLine("//").kind, ScriptLine::Kind::Comment);
  EXPECT_EQ(matchScriptLine("// a comment").kind, ScriptLine::Kind::Comment);
  EXPECT_EQ(matchScriptLine("//CheckAll").kind, ScriptLine::Kind::Comment);
  EXPECT_EQ(matchScriptLine("  // indented").kind, ScriptLine::Kind::Unknown);
  EXPECT_EQ(matchScriptLine("  ").kind, ScriptLine::Kind::Unknown);
  EXPECT_EQ(matchScriptLine("/ x").kind, ScriptLine::Kind::Unknown);
}

TEST(ScriptSyntax, IdentifiersCommentsAndBlanks) {
  EXPECT_EQ(RunMessage("checkall"), "<ok>");
  EXPECT_EQ(RunMessage("CHECKALL"), "<ok>");
  EXPECT_EQ(RunMessage("CheckAll "), "Unknown identifier!");
  EXPECT_EQ(RunMessage("  "), "Unknown identifier!");
  EXPECT_EQ(RunMessage(""), "<ok>");
  EXPECT_EQ(RunMessage("  // comment"), "Unknown identifier!");
  EXPECT_EQ(RunMessage("//comment"), "<ok>");
  EXPECT_EQ(RunMessage("// comment"), "<ok>");
  EXPECT_EQ(RunMessage("Frobnicate"), "Unknown identifier!");
  for (const auto& info : scriptCommands()) {
    if (!info.bracket) {
      EXPECT_EQ(RunMessage(info.name), "<ok>") << info.name;
    }
  }
}

TEST(ScriptSyntax, MissingClosingBracketForEveryBracketCommand) {
  for (const auto& info : scriptCommands()) {
    if (!info.bracket) continue;
    EXPECT_EQ(RunMessage(std::string(info.name) + "[x"),
              std::string(info.name) + ": \"]\" is missing!");
    EXPECT_EQ(RunMessage(std::string(info.name) + "["),
              std::string(info.name) + ": \"]\" is missing!");
  }
}

TEST(ScriptSyntax, Delay) {
  EXPECT_EQ(RunMessage("Delay[]"), "Delay: No valid number!");
  EXPECT_EQ(RunMessage("Delay[5"), "Delay: \"]\" is missing!");
  EXPECT_EQ(RunMessage("Delay[$1E]"), "<ok>");
  EXPECT_EQ(RunMessage("Delay[0x1e]"), "<ok>");
  EXPECT_EQ(RunMessage("delay[ -3]"), "<ok>");
  EXPECT_EQ(RunMessage("Delay[5 ]"), "Delay: No valid number!");
  EXPECT_EQ(RunMessage("Delay[five]"), "Delay: No valid number!");
  EXPECT_EQ(RunMessage("Delay[99999999999]"), "Delay: No valid number!");
  // Only the text up to the first "]" is the number.
  EXPECT_EQ(RunMessage("Delay[5]garbage"), "<ok>");
}

TEST(ScriptSyntax, Filter) {
  EXPECT_EQ(RunMessage("Filter[]"), "Filter: No filter entered!");
  // A filter that would do nothing when run: no operator, a doubled one, or no property.
  for (const char* line : {"Filter[xyz]", "Filter[]x", "Filter[Users>>5]", "Filter[Users>=100]",
                           "Filter[IP==1.2.3.4]", "Filter[Ping<<>5]"})
    EXPECT_EQ(EditorMessage(line), "Filter: No valid operator entered!") << line;
  for (const char* line : {"Filter[Usrs>5]", "Filter[users>5]", "Filter[Users >5]"})
    EXPECT_EQ(RunMessage(line), "Filter: No valid property entered!") << line;
  EXPECT_EQ(RunCheck({"// x", "", "Filter[Usrs>5]"}),
            (ScriptSyntaxError{3, "Filter: No valid property entered!"}));
  // Every property and operator, wildcards, an empty value and the catalogue's examples.
  std::vector<const char*> good = scriptCommandInfoOf(ScriptCommand::Filter).examples;
  good.insert(good.end(),
              {"Filter[IP>100.0.0.0]", "Filter[Port=46*]", "Filter[Name=]", "Filter[Desc<>a?c]",
               "Filter[Pref=high]", "Filter[Files<10]", "Filter[Hist>0]", "Filter[Name=a<b]"});
  for (const char* line : good) EXPECT_EQ(RunMessage(line), "<ok>") << line;
  EXPECT_EQ(RunMessage("Filter[IP=1.2.3.4"), "Filter: \"]\" is missing!");
}

TEST(ScriptSyntax, RefreshCommandsNeedAName) {
  for (const char* name : {"RefreshCustomBOT", "RefreshCustomHTML", "RefreshCustomMET"}) {
    EXPECT_EQ(RunMessage(std::string(name) + "[]"), std::string(name) + ": No filename entered!");
    EXPECT_EQ(RunMessage(std::string(name) + "[a.met]"), "<ok>");
    // Only R equal to "]" is refused; an empty argument before more text is not.
    EXPECT_EQ(RunMessage(std::string(name) + "[] "), "<ok>");
  }
}

TEST(ScriptSyntax, SaveCommandsNeedAName) {
  for (const char* name :
       {"SaveCustomBOT", "SaveCustomHTML", "SaveCustomMET", "SaveCustomTXT", "StartFile"}) {
    EXPECT_EQ(RunMessage(std::string(name) + "[]"), std::string(name) + ": No Filename entered!");
    EXPECT_EQ(RunMessage(std::string(name) + "[] x"), std::string(name) + ": No Filename entered!");
    EXPECT_EQ(RunMessage(std::string(name) + "[out]"), "<ok>");
  }
}

TEST(ScriptSyntax, SaveTemplateRulesDifferOnlyInTheLengthRule) {
  EXPECT_EQ(RunMessage("SaveTemplate[]"), "SaveTemplate: No Filenames entered!");
  EXPECT_EQ(RunMessage("SaveTemplate[a.tpl]"),
            "SaveTemplate: No Filename-Splitter (\"|\") entered!");
  EXPECT_EQ(RunMessage("SaveTemplate[|]"), "<ok>");
  EXPECT_EQ(EditorMessage("SaveTemplate[|]"), "SaveTemplate: No Filenames entered!");
  EXPECT_EQ(EditorMessage("SaveTemplate[a|]"), "<ok>");
  EXPECT_EQ(EditorMessage("SaveTemplate[a.tpl]"),
            "SaveTemplate: No Filename-Splitter (\"|\") entered!");
  EXPECT_EQ(RunMessage("SaveTemplate[t.tpl|out.html]"), "<ok>");
  EXPECT_EQ(RunMessage("SaveTemplate[t.tpl|out.html"), "SaveTemplate: \"]\" is missing!");
}

TEST(ScriptSyntax, SendAndSetPref) {
  EXPECT_EQ(RunMessage("SendToEDonkeyConsole[]"), "SendToEDonkeyConsole: No Text entered!");
  EXPECT_EQ(RunMessage("SendToEDonkeyConsole[n 1.2.3.4 4661]"), "<ok>");
  EXPECT_EQ(RunMessage("SetPref[]"), "SetPref: No Preference entered!");
  EXPECT_EQ(RunMessage("SetPref[HIGH]"), "<ok>");
  EXPECT_EQ(RunMessage("setpref[Low]"), "<ok>");
  EXPECT_EQ(RunMessage("SetPref[normal]"), "<ok>");
  EXPECT_EQ(RunMessage("SetPref[medium]"), "SetPref: No valid preference entered!");
  EXPECT_EQ(RunMessage("SetPref[high ]"), "SetPref: No valid preference entered!");
}

TEST(ScriptSyntax, ReportsTheFirstWrongLineCountingEveryLine) {
  const Lines script = {"// header", "", "Delay[x]", "Bogus"};
  const auto e = RunCheck(script);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->line, 3u);
  EXPECT_EQ(e->message, "Delay: No valid number!");
  EXPECT_FALSE(RunCheck({"// only", "", "//comments"}));
  EXPECT_FALSE(RunCheck({}));
}

TEST(ScriptSyntax, RunPresentationShowsTheBoxThenAbortsSilently) {
  test::TestApp app;
  EXPECT_NO_THROW(checkSyntax({"CheckAll", "Delay[1]"}, app.ctx));
  EXPECT_TRUE(app.prompter.shown.empty());

  EXPECT_THROW(checkSyntax({"CheckAll", "", "SetPref[medium]", "Bogus"}, app.ctx), SilentAbort);
  ASSERT_EQ(app.prompter.shown.size(), 1u);
  const auto& box = app.prompter.shown[0];
  EXPECT_EQ(box.title, "Error in script execution");
  EXPECT_EQ(box.text,
            "Error in Line #3:\r\nSetPref: No valid preference entered!\r\nScript execution will "
            "be aborted!");
  EXPECT_EQ(box.icon, MsgIcon::Error);
  EXPECT_EQ(box.buttons, MsgButtons::Ok);
  // The check leaves no other trace.
  EXPECT_TRUE(app.logLines().empty());
}

TEST(ScriptSyntax, EditorPresentationSelectsTheWrongLine) {
  const Lines script = {"// ab", "", "CheckAll", "SaveTemplate[|]", "Bogus"};
  EditorSyntaxResult r = checkSyntaxForEditor(script);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.selectionStart, 5u + 2 + 0 + 2 + 8 + 2);
  EXPECT_EQ(r.selectionLength, std::string("SaveTemplate[|]").size());
  EXPECT_EQ(r.statusText, "Error in line 4: SaveTemplate: No Filenames entered!");

  r = checkSyntaxForEditor({"Bogus"});
  EXPECT_EQ(r.selectionStart, 0u);
  EXPECT_EQ(r.selectionLength, 5u);
  EXPECT_EQ(r.statusText, "Error in line 1: Unknown identifier!");

  r = checkSyntaxForEditor({"CheckAll", "// fine"});
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.statusText, "Syntax check successful!");
}

TEST(ScriptFile, SplitsOnEveryLineBreakConvention) {
  EXPECT_EQ(splitScriptLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(splitScriptLines("a\r\n"), (Lines{"a"}));
  EXPECT_EQ(splitScriptLines("a\r\n\r\nb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(splitScriptLines("a\n\n"), (Lines{"a", ""}));
  EXPECT_EQ(splitScriptLines(""), Lines{});
  EXPECT_EQ(splitScriptLines("  x  \t"), (Lines{"  x  \t"}));
  EXPECT_EQ(splitScriptLines(std::string("\xE9t\xE9\n", 4)), (Lines{"\xE9t\xE9"}));
}

TEST(ScriptFile, ReadsAFileAndFailsOnAMissingOne) {
  test::TempDir dir;
  test::WriteFile(dir.file("s.rvs"), "// x\r\nCheckAll\r\n");
  EXPECT_EQ(readScriptFile(dir.file("s.rvs")), (Lines{"// x", "CheckAll"}));
  EXPECT_THROW(readScriptFile(dir.file("missing.rvs")), std::exception);
}
