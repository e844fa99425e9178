#include "win/win_app.h"

#include <windows.h>

#include <stdexcept>

#include "app/registry_association.h"
#include "app/startup.h"
#include "desk/command_line.h"
#include "platform/user_folders.h"
#include "platform/wide_text.h"
#include "runtime/app_context.h"
#include "runtime/translate.h"
#include "serverlist/server_list.h"
#include "win/common_controls.h"
#include "win/main_window.h"
#include "win/parent_console.h"
#include "win/single_instance.h"
#include "win/win_prompter.h"
#include "win/win_ui_thread.h"

namespace ravelin::win {

namespace {

constexpr const char* kUsage =
    N_("Usage: ravelin.exe [--ini FILE] [SCRIPT | --edit SCRIPT | --run SCRIPT]\r\n"
       "Shows the server list; SCRIPT is a Ravelin script file, opened in the script editor\r\n"
       "or run as the options say.\r\n"
       "  --edit SCRIPT  open SCRIPT in the script editor\r\n"
       "  --run SCRIPT   run SCRIPT\r\n"
       "  --ini FILE     use another ravelin.ini\r\n"
       "  --help         show this text\r\n"
       "  --version      show the version\r\n"
       "Scripts run without any window with ravelin-cli.exe (see 'ravelin-cli.exe --help').\r\n");

// What the command line asks to be told: on the console that started the program, or in a
// box when it was started without one.
void tell(const std::string& text, bool error) {
  if (writeToParentConsole(text, error)) return;
  MessageBoxW(nullptr, platform::wideFromUtf8(text).c_str(), L"Ravelin",
              error ? MB_ICONERROR : MB_ICONINFORMATION);
}

}  // namespace

int runWin(std::vector<std::string> args) {
  runtime::startTranslation();
  std::optional<std::string> iniFile;
  try {
    iniFile = app::takeIniOption(args);
  } catch (const std::invalid_argument& e) {
    tell(std::string("ravelin: ") + e.what() + "\r\n" + _(kUsage), true);
    return 2;
  }
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h" || args[0] == "/?")) {
    tell(_(kUsage), false);
    return 0;
  }
  if (!args.empty() && args[0] == "--version") {
    tell("ravelin " RAVELIN_VERSION "\r\n", false);
    return 0;
  }

  if (args.size() == 1 && (args[0] == "--edit" || args[0] == "--run")) {
    tell("ravelin: " + args[0] + " " + _("needs a script file") + "\r\n" + _(kUsage), true);
    return 2;
  }
  const desk::ScriptRequest script = desk::startupScript(args);
  app::FilePlaces places = app::locateFiles(app::currentStartupEnvironment(), iniFile.value_or(""));
  Instance instance(app::absolutePath(places.iniFile));
  switch (instance.claimOrHandOver(desk::handOverText(script))) {
    case HandOver::Taken:
      return 0;
    case HandOver::NoAnswer:
      tell(std::string("ravelin: ") + _(desk::kRunningInstanceSilent) + "\r\n", true);
      return 1;
    case HandOver::NoneRunning:
      break;
  }

  initCommonControls();

  WinUiThread ui;
  WinPrompter prompter;
  runtime::AppContext ctx;
  ctx.prompter = &prompter;
  ctx.ui = &ui;
  app::AppSession session(ctx, std::move(places));
  session.start();

  // The server list starts empty, as on every platform.
  serverlist::ServerList list;
  list.negCompare = ctx.settings.NegCompare;
  MainWindow window(list, session, ui);
  prompter.setMainWindow(window.window());
  ui.preTranslate = [&window](MSG& msg) { return window.translateKey(msg); };
  window.presenter().setStartupScript(script);
  instance.markWindow(window.window());
  window.presenter().setScriptAssociation(
      std::make_unique<app::RegistryScriptAssociation>(platform::executablePath()));
  window.frame().onDestroyed = [] { PostQuitMessage(0); };
  window.show();
  const int code = ui.run();
  return code;
}

}  // namespace ravelin::win
