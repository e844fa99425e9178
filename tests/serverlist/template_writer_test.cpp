#include <gtest/gtest.h>

#include "platform/calendar.h"
#include "platform/file_io.h"
#include "serverlist/template_writer.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::platform;
using namespace ravelin::runtime;
using namespace ravelin::serverlist;

namespace {

Server makeServer(const std::string& ip, const std::string& port) {
  Server s;
  s.ip = ip;
  s.port = port;
  return s;
}

ServerList WorkedExampleList() {
  ServerList list;
  list.append(makeServer("1.2.3.4", "4661"), true);
  list.append(makeServer("9.9.9.9", "9999"), false);
  list.append(makeServer("5.6.7.8", "4242"), true);
  return list;
}

std::string Expand(std::string_view text, const ServerList& list,
                   std::string_view fileName = "out.html") {
  return expandTemplate(text, list, fileName, "DATE", "TIME");
}

// Writes the template to a file, runs the writer and returns the output file's contents.
struct TemplateRun {
  test::TestApp app;
  test::RecordingProgressBar bar;
  std::string templateFile = app.dir.file("list.tpl");
  std::string outputFile = app.dir.file("list.html");
  bool ok = false;

  std::string run(const std::string& templateText, const ServerList& list) {
    test::WriteFile(templateFile, templateText);
    ok = writeServersToTemplate(list, templateFile, outputFile, bar, app.ctx);
    return test::ReadFile(outputFile);
  }
};

}  // namespace

TEST(ExpandTemplate, WorkedExample) {
  EXPECT_EQ(Expand("Servers: %servercount%%loopstart%[%no%] %IP%:%port%;%loopend%End",
                   WorkedExampleList()),
            "Servers: 2[1] 1.2.3.4:4661;[2] 5.6.7.8:4242;End");
}

TEST(ExpandTemplate, GlobalPlaceholdersEverywhereAnyCase) {
  const std::string out = Expand(
      "%ServerCount% %FILENAME% %date% %Time%|%loopstart%%servercount%,%filename%,%DATE%,"
      "%time%;%loopend%|%servercount%",
      WorkedExampleList(), "list.html");
  EXPECT_EQ(out, "2 list.html DATE TIME|2,list.html,DATE,TIME;2,list.html,DATE,TIME;|2");
}

TEST(ExpandTemplate, EveryServerFieldInsideLoops) {
  ServerList list;
  Server s = makeServer("1.2.3.4", "4661");
  s.name = "N";
  s.desc = "D";
  s.ping = "P";
  s.users = "U";
  s.files = "F";
  s.pref = "High";
  s.hist = "H";
  list.append(s, true);
  EXPECT_EQ(Expand("%loopstart%%ip% %Ip% %PORT% %name% %desc% %ping% %users% %files% %pref% "
                   "%hist% %no%%loopend%",
                   list),
            "1.2.3.4 1.2.3.4 4661 N D P U F High H 1");
}

TEST(ExpandTemplate, WithoutLoopsOnlyGlobalsAreReplaced) {
  EXPECT_EQ(Expand("%ip% %no% %servercount% %port%", WorkedExampleList()), "%ip% %no% 2 %port%");
  EXPECT_EQ(countTemplateSections("%ip% %no% %servercount%"), 0);
  EXPECT_EQ(Expand("", WorkedExampleList()), "");
}

TEST(ExpandTemplate, TwoSectionsRestartTheNumbering) {
  const std::string text = "<%loopstart%%no%=%ip% %loopend%><%loopstart%%no%:%port% %loopend%>";
  EXPECT_EQ(countTemplateSections(text), 2);
  EXPECT_EQ(Expand(text, WorkedExampleList()), "<1=1.2.3.4 2=5.6.7.8 ><1:4661 2:4242 >");
}

TEST(ExpandTemplate, LoopMarkersOnlyInLowerCaseAndInOrder) {
  // An end marker in front of the first start marker stops the expansion.
  const std::string reversed = "a%loopend%b%loopstart%%ip%%loopend%c";
  EXPECT_EQ(countTemplateSections(reversed), 0);
  EXPECT_EQ(Expand(reversed, WorkedExampleList()), reversed);
  // Upper-case markers are plain text.
  const std::string upper = "%LOOPSTART%%ip%%LOOPEND%";
  EXPECT_EQ(countTemplateSections(upper), 0);
  EXPECT_EQ(Expand(upper, WorkedExampleList()), upper);
  // A start marker without an end.
  EXPECT_EQ(Expand("x%loopstart%%ip%", WorkedExampleList()), "x%loopstart%%ip%");
  // After one section, an unmatched end marker stays as it is.
  EXPECT_EQ(Expand("%loopstart%.%loopend%%loopend%", WorkedExampleList()), "..%loopend%");
}

TEST(ExpandTemplate, MarkersSharingTheirPercentSign) {
  // "%loopstart%loopend%": the end marker overlaps the start marker; the body is empty.
  EXPECT_EQ(countTemplateSections("a%loopstart%loopend%b"), 1);
  EXPECT_EQ(Expand("a%loopstart%loopend%b", WorkedExampleList()), "ab");
}

TEST(ExpandTemplate, LaterPlaceholdersInValuesAreReplacedAgain) {
  ServerList list;
  Server s = makeServer("1.2.3.4", "4661");
  s.name = "%desc% / %IP% / %no%";  // %ip% was replaced before the name came in
  s.desc = "the description";
  list.append(s, true);
  EXPECT_EQ(Expand("%loopstart%%name%%loopend%", list), "the description / %IP% / 1");
  // A file name holding a later global placeholder.
  EXPECT_EQ(Expand("%filename%", list, "%date%.html"), "DATE.html");
}

TEST(ExpandTemplate, ValuesNeverOpenOrCloseSections) {
  ServerList list;
  Server s = makeServer("1.2.3.4", "4661");
  s.name = "%loopstart%x%loopend%";
  s.desc = "%loopend%";
  list.append(s, true);
  EXPECT_EQ(Expand("[%loopstart%%name%|%desc%%loopend%]", list),
            "[%loopstart%x%loopend%|%loopend%]");
  // Nor does the output file's name, even where the globals are replaced.
  EXPECT_EQ(Expand("%filename%%ip%%loopend%", list, "%loopstart%"), "%loopstart%%ip%%loopend%");
}

TEST(ExpandTemplate, CallsBackForEveryEntryOfEverySection) {
  const ServerList list = WorkedExampleList();
  std::vector<std::string> seen;
  expandTemplate("%loopstart%a%loopend%%loopstart%b%loopend%", list, "f", "d", "t",
                 [&](const ServerEntry& e) { seen.push_back(e.server.ip); });
  EXPECT_EQ(seen, (std::vector<std::string>{"1.2.3.4", "9.9.9.9", "5.6.7.8", "1.2.3.4", "9.9.9.9",
                                            "5.6.7.8"}));
}

TEST(FormatDateTime, ShortDateAndLongTimeOfTheLocale) {
  std::tm t{};
  t.tm_year = 2026 - 1900;
  t.tm_mon = 11;
  t.tm_mday = 8;
  t.tm_hour = 18;
  t.tm_min = 27;
  t.tm_sec = 9;
  const DateTimeTexts c = formatDateTime(t, "C");
  EXPECT_EQ(c.date, "12/08/26");
  EXPECT_EQ(c.time, "18:27:09");
  // A locale that does not exist falls back to the C formats.
  const DateTimeTexts unknown = formatDateTime(t, "xx_NOWHERE.none");
  EXPECT_EQ(unknown.date, c.date);
  EXPECT_EQ(unknown.time, c.time);
}

TEST(WriteServersToTemplate, WorkedExampleToFile) {
  TemplateRun r;
  const std::string out = r.run("Servers: %servercount%%loopstart%[%no%] %IP%:%port%;%loopend%End",
                                WorkedExampleList());
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(out, "Servers: 2[1] 1.2.3.4:4661;[2] 5.6.7.8:4242;End");
  EXPECT_EQ(r.app.logLines(),
            (std::vector<std::string>{"Saved <2> servers to <" + r.outputFile +
                                      "> with template <" + r.templateFile + ">"}));
  EXPECT_TRUE(r.app.prompter.shown.empty());
}

TEST(WriteServersToTemplate, GlobalsFromTheOutputFileAndTheClock) {
  TemplateRun r;
  const auto stamp = [] { return formatDateTime(platform::localCalendarTime(std::time(nullptr))); };
  const DateTimeTexts before = stamp();
  const std::string out = r.run("%filename%|%date%|%time%", WorkedExampleList());
  const DateTimeTexts after = stamp();
  const std::string expectBefore = "list.html|" + before.date + "|" + before.time;
  const std::string expectAfter = "list.html|" + after.date + "|" + after.time;
  EXPECT_TRUE(out == expectBefore || out == expectAfter) << out;
}

TEST(WriteServersToTemplate, TemplateEndsAtTheFirstNul) {
  TemplateRun r;
  const std::string out =
      r.run(std::string("head %servercount%\0tail %servercount%", 38), WorkedExampleList());
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(out, "head 2");
}

TEST(WriteServersToTemplate, ProgressRunsOverServersTimesSections) {
  TemplateRun r;
  std::vector<int> positions;
  r.app.ui.onPump = [&] { positions.push_back(r.bar.position()); };
  r.run("%loopstart%a%loopend%-%loopstart%b%loopend%", WorkedExampleList());
  EXPECT_EQ(r.bar.max(), 4);
  EXPECT_EQ(r.bar.maxSeen, 4);
  EXPECT_EQ(r.bar.min(), 0);
  EXPECT_EQ(r.bar.step(), 1);
  EXPECT_FALSE(r.bar.visible());
  // Once before reading, once before each entry of each section (checked or not), once at
  // the end.
  EXPECT_EQ(positions, (std::vector<int>{0, 0, 1, 1, 2, 3, 3, 4}));
}

TEST(WriteServersToTemplate, NoSectionsGiveAZeroMaximum) {
  TemplateRun r;
  r.bar.setMax(50);
  EXPECT_EQ(r.run("%servercount% servers, %ip% stays", WorkedExampleList()),
            "2 servers, %ip% stays");
  EXPECT_EQ(r.bar.max(), 0);
  EXPECT_FALSE(r.bar.visible());
}

TEST(WriteServersToTemplate, MissingTemplateWarnsAndKeepsTheOutput) {
  TemplateRun r;
  test::WriteFile(r.outputFile, "previous output");
  r.bar.setVisible(true);
  const bool ok = writeServersToTemplate(WorkedExampleList(), r.app.dir.file("missing.tpl"),
                                         r.outputFile, r.bar, r.app.ctx);
  EXPECT_FALSE(ok);
  ASSERT_EQ(r.app.prompter.shown.size(), 1u);
  EXPECT_EQ(r.app.prompter.shown[0].title, "Warning");
  EXPECT_EQ(r.app.prompter.shown[0].text,
            "Error saving Template! Maybe data corrupted!\r\n" + r.outputFile);
  EXPECT_EQ(r.app.prompter.shown[0].icon, MsgIcon::Error);
  EXPECT_EQ(test::ReadFile(r.outputFile), "previous output");
  EXPECT_FALSE(r.bar.visible());
  EXPECT_EQ(r.app.logLines(),
            std::vector<std::string>{"Saving <2> servers to <" + r.outputFile + "> failed"});
}

TEST(WriteServersToTemplate, UnwritableOutputWarnsUnlessAScriptRuns) {
  for (const bool script : {false, true}) {
    TemplateRun r;
    r.app.ctx.state.scriptRunning = script;
    r.outputFile = r.app.dir.file("no/such/dir/out.html");
    r.run("%servercount%", WorkedExampleList());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.app.prompter.shown.size(), script ? 0u : 1u);
    EXPECT_FALSE(platform::fileExists(r.outputFile));
    EXPECT_FALSE(r.bar.visible());
    EXPECT_EQ(r.app.logLines().size(), 1u);  // the failure
  }
}

TEST(WriteServersToTemplate, ListEmptiedByPendingEventsEndsTheLoop) {
  TemplateRun r;
  ServerList list = WorkedExampleList();
  int pumps = 0;
  r.app.ui.onPump = [&] {
    if (++pumps == 3) list.clear();  // before the second entry of the section
  };
  EXPECT_EQ(r.run("%loopstart%%ip%;%loopend%", list), "1.2.3.4;");
  EXPECT_TRUE(r.ok);
}

TEST(WriteServersToTemplate, ListGrownByPendingEventsWhileAnEntryIsHandled) {
  TemplateRun r;
  ServerList list = WorkedExampleList();
  // Before the first entry the list grows and its entries move away from where they were.
  r.app.ui.onPump = [&] {
    if (list.size() == 3 && r.bar.visible())
      for (int i = 0; i < 8; ++i) list.append(makeServer("7.7.7.7", "1"), false);
  };
  EXPECT_EQ(r.run("%loopstart%%ip%;%loopend%", list), "1.2.3.4;5.6.7.8;");
}
