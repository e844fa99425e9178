#include <gtest/gtest.h>

#include "serverlist/server_editor.h"
#include "support/server_list_support.h"
#include "support/test_support.h"

using namespace ravelin;
using namespace ravelin::runtime;
using namespace ravelin::serverlist;

using test::Column;
using test::makeServer;
using Strings = std::vector<std::string>;

namespace {

EditorValues Values(const std::string& ip, const std::string& port) {
  EditorValues v;
  v.ip = ip;
  v.port = port;
  return v;
}

void ExpectWarning(const test::PromptRecord& box, const std::string& text) {
  EXPECT_EQ(box.title, "Warning");
  EXPECT_EQ(box.text, text);
  EXPECT_EQ(box.icon, MsgIcon::Error);
  EXPECT_EQ(box.buttons, MsgButtons::Ok);
}

}  // namespace

TEST(EditorOpening, AddModeStartsEmptyAndEditModeShowsTheRow) {
  const EditorOpening add = openEditorForAdd();
  EXPECT_STREQ(add.caption, "Ravelin: Add server");
  EXPECT_STREQ(add.info, "Insert IP and Port to add a server:");
  EXPECT_EQ(add.values.ip, "");
  EXPECT_EQ(add.values.hist, "");
  EXPECT_EQ(add.values.pref, "Normal");
  Server s = makeServer("1.2.3.4", "4661");
  s.name = "N";
  s.desc = "D";
  s.ping = "12";
  s.pref = "Low";
  const EditorOpening edit = openEditorForEdit(s);
  EXPECT_STREQ(edit.caption, "Ravelin: Edit server");
  EXPECT_STREQ(edit.info, "Edit IP and Port of the server:");
  EXPECT_EQ(edit.values.ip, "1.2.3.4");
  EXPECT_EQ(edit.values.port, "4661");
  EXPECT_EQ(edit.values.name, "N");
  EXPECT_EQ(edit.values.desc, "D");
  EXPECT_EQ(edit.values.ping, "12");
  EXPECT_EQ(edit.values.users, "n/a");
  EXPECT_EQ(edit.values.hist, "n/a");
  EXPECT_EQ(edit.values.pref, "Low");
  EXPECT_EQ(prefItemIndex("Low"), 2);
  EXPECT_EQ(prefItemIndex("low"), -1);
}

TEST(EditorKeys, BoxesTakeOnlyTheirCharacters) {
  for (char c = '0'; c <= '9'; ++c) {
    EXPECT_TRUE(editorBoxAcceptsKey(EditorBox::IP, c));
    EXPECT_TRUE(editorBoxAcceptsKey(EditorBox::Port, c));
  }
  EXPECT_TRUE(editorBoxAcceptsKey(EditorBox::IP, '.'));
  EXPECT_TRUE(editorBoxAcceptsKey(EditorBox::IP, '\b'));
  for (EditorBox box :
       {EditorBox::Port, EditorBox::Ping, EditorBox::Users, EditorBox::Files, EditorBox::History}) {
    EXPECT_TRUE(editorBoxAcceptsKey(box, '\b'));
    EXPECT_FALSE(editorBoxAcceptsKey(box, '.'));
    EXPECT_FALSE(editorBoxAcceptsKey(box, 'a'));
    EXPECT_FALSE(editorBoxAcceptsKey(box, '-'));
    EXPECT_FALSE(editorBoxAcceptsKey(box, 3));   // Ctrl+C
    EXPECT_FALSE(editorBoxAcceptsKey(box, 22));  // Ctrl+V
  }
  for (char c : {'a', 'Z', ' ', '-', '\x03', '\x16'})
    EXPECT_FALSE(editorBoxAcceptsKey(EditorBox::IP, c));
  for (char c : {'a', '.', ' ', '\x03', '\x16', '\xe9'}) {
    EXPECT_TRUE(editorBoxAcceptsKey(EditorBox::Name, c));
    EXPECT_TRUE(editorBoxAcceptsKey(EditorBox::Desc, c));
  }
}

TEST(EditorOk, AddAppendsACheckedServerWithNaInEmptyFields) {
  test::TestApp app;
  ServerList list;
  list.append(makeServer("9.9.9.9"), false);
  const EditorResult r = editorOk(list, EditorMode::Add, Values("1.2.3.4", "4661"), app.ctx);
  EXPECT_EQ(r.outcome, EditorOutcome::Saved);
  EXPECT_TRUE(r.closes());
  ASSERT_EQ(list.size(), 2u);
  const ServerEntry& e = list[1];
  EXPECT_TRUE(e.checked);
  EXPECT_EQ(e.server.ip, "1.2.3.4");
  EXPECT_EQ(e.server.port, "4661");
  for (int f : {fName, fDesc, fPing, fUsers, fFiles, fHist}) EXPECT_EQ(e.server.field(f), "n/a");
  EXPECT_EQ(e.server.pref, "Normal");
  EXPECT_EQ(app.logLines(), (Strings{"Server <1.2.3.4:4661> added"}));
  EXPECT_TRUE(app.prompter.shown.empty());
  EXPECT_EQ(list.statusText(), " EDonkey2000 servers (2 IPs) [1/1 - 50% checked]");
}

TEST(EditorOk, AddTakesTheTypedValuesAndPreference) {
  test::TestApp app;
  ServerList list;
  EditorValues v = Values("1.2.3.4", "04661");
  v.name = "Name";
  v.desc = "Desc";
  v.ping = "5";
  v.users = "6";
  v.files = "7";
  v.hist = "8";
  v.pref = "High";
  EXPECT_EQ(editorOk(list, EditorMode::Add, v, app.ctx).outcome, EditorOutcome::Saved);
  Server want;
  want.ip = "1.2.3.4";
  want.port = "04661";
  want.name = "Name";
  want.desc = "Desc";
  want.ping = "5";
  want.users = "6";
  want.files = "7";
  want.hist = "8";
  want.pref = "High";
  EXPECT_EQ(list[0].server, want);
}

TEST(EditorOk, RefusesAnInvalidIpFirst) {
  test::TestApp app;
  ServerList list;
  for (const char* ip : {" 1.2.3.4", "1.2.3.4 ", "1.2.3.a", "0.1.2.3", ""}) {
    app.prompter.shown.clear();
    const EditorResult r = editorOk(list, EditorMode::Add, Values(ip, "0"), app.ctx);
    EXPECT_EQ(r.outcome, EditorOutcome::InvalidIP) << ip;
    EXPECT_TRUE(r.focusIP());
    EXPECT_FALSE(r.closes());
    ASSERT_EQ(app.prompter.shown.size(), 1u);
    ExpectWarning(app.prompter.shown[0], "The IP is not valid!");
  }
  EXPECT_TRUE(list.empty());
  EXPECT_TRUE(app.logLines().empty());
}

TEST(EditorOk, RefusesPortsOutsideOneTo65535) {
  test::TestApp app;
  ServerList list;
  for (const char* port : {"0", "65536", "-1", "", "n/a", "46 61", "4661 "}) {
    app.prompter.shown.clear();
    const EditorResult r = editorOk(list, EditorMode::Add, Values("1.2.3.4", port), app.ctx);
    EXPECT_EQ(r.outcome, EditorOutcome::InvalidPort) << port;
    EXPECT_TRUE(r.focusPort());
    ASSERT_EQ(app.prompter.shown.size(), 1u);
    ExpectWarning(app.prompter.shown[0], "The Port is not valid!");
  }
  EXPECT_TRUE(list.empty());
  for (const char* port : {"1", "40000", "43333", "65535", "$10", " 4661"})
    EXPECT_TRUE(isValidEditorPort(port)) << port;
}

TEST(EditorOk, AddRefusesTheSameIpAndPortText) {
  test::TestApp app;
  ServerList list;
  list.append(makeServer("1.2.3.4", "4661"), true);
  list.append(makeServer("1.2.3.4", "4662"), false);
  EXPECT_EQ(editorOk(list, EditorMode::Add, Values("1.2.3.4", "4662"), app.ctx).outcome,
            EditorOutcome::Duplicate);
  ASSERT_EQ(app.prompter.shown.size(), 1u);
  ExpectWarning(app.prompter.shown[0], "A server with this IP and this Port already exists!");
  EXPECT_EQ(editorOk(list, EditorMode::Add, Values("1.2.3.4", "4661"), app.ctx).outcome,
            EditorOutcome::Duplicate);
  EXPECT_EQ(list.size(), 2u);
  EXPECT_TRUE(app.logLines().empty());
  // A different port text is a different server.
  EXPECT_EQ(editorOk(list, EditorMode::Add, Values("1.2.3.4", "04661"), app.ctx).outcome,
            EditorOutcome::Saved);
  EXPECT_EQ(Column(list, fPort), (Strings{"4661", "4662", "04661"}));
}

TEST(EditorOk, EditOverwritesTheSelectedRowAndKeepsItsCheckMark) {
  test::TestApp app;
  ServerList list;
  list.append(makeServer("1.1.1.1", "4661"), true);
  list.append(ServerEntry{makeServer("2.2.2.2", "4662"), false, "tags", 3});
  list.select(1);
  EditorValues v = Values("1.1.1.1", "4661");  // the key of the other row: allowed
  v.name = "renamed";
  v.pref = "Low";
  const EditorResult r = editorOk(list, EditorMode::Edit, v, app.ctx);
  EXPECT_EQ(r.outcome, EditorOutcome::Saved);
  EXPECT_TRUE(app.prompter.shown.empty());
  ASSERT_EQ(list.size(), 2u);
  EXPECT_FALSE(list[1].checked);
  EXPECT_EQ(list[1].server.ip, "1.1.1.1");
  EXPECT_EQ(list[1].server.name, "renamed");
  EXPECT_EQ(list[1].server.desc, "n/a");
  EXPECT_EQ(list[1].server.pref, "Low");
  EXPECT_EQ(list[1].extraTags, "tags");
  EXPECT_EQ(Column(list, fIP), (Strings{"1.1.1.1", "1.1.1.1"}));
  EXPECT_EQ(app.logLines(), (Strings{"Server <1.1.1.1:4661> edited"}));
}

TEST(EditorOk, EditValidatesAndNeedsASelectedRow) {
  test::TestApp app;
  ServerList list;
  list.append(makeServer("1.1.1.1", "4661"), true);
  EXPECT_EQ(editorOk(list, EditorMode::Edit, Values("1.1.1.1", "4661"), app.ctx).outcome,
            EditorOutcome::NoRow);
  list.select(0);
  EXPECT_EQ(editorOk(list, EditorMode::Edit, Values("1.1.1.1", "0"), app.ctx).outcome,
            EditorOutcome::InvalidPort);
  EXPECT_EQ(list[0].server, makeServer("1.1.1.1", "4661"));
  EXPECT_TRUE(app.logLines().empty());
}

TEST(EditorOk, APreferenceThatIsNoItemKeepsTheRowsOrIsNormal) {
  test::TestApp app;
  ServerList list;
  Server s = makeServer("1.1.1.1", "4661");
  s.pref = "High";
  list.append(s, true);
  list.select(0);
  EditorValues v = Values("1.1.1.1", "4661");
  v.pref = "";
  EXPECT_EQ(editorOk(list, EditorMode::Edit, v, app.ctx).outcome, EditorOutcome::Saved);
  EXPECT_EQ(list[0].server.pref, "High");
  v = Values("2.2.2.2", "4661");
  v.pref = "Urgent";
  EXPECT_EQ(editorOk(list, EditorMode::Add, v, app.ctx).outcome, EditorOutcome::Saved);
  EXPECT_EQ(list[1].server.pref, "Normal");
}

TEST(EditorOk, WhileAScriptRunsRefusesWithoutAMessage) {
  test::TestApp app;
  app.ctx.state.scriptRunning = true;
  ServerList list;
  EXPECT_EQ(editorOk(list, EditorMode::Add, Values("1.2.3", "4661"), app.ctx).outcome,
            EditorOutcome::InvalidIP);
  EXPECT_TRUE(app.prompter.shown.empty());
}
