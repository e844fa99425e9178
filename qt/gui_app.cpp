#include "qt/gui_app.h"

#include <QApplication>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/file_association.h"
#include "app/startup.h"
#include "qt/app_identity.h"
#include "qt/main_window.h"
#include "qt/qt_prompter.h"
#include "qt/qt_translations.h"
#include "qt/qt_ui_thread.h"
#include "qt/single_instance.h"
#include "platform/file_io.h"
#include "runtime/app_context.h"
#include "runtime/translate.h"
#include "serverlist/server_list.h"

namespace ravelin::qt {

namespace {

constexpr const char* kUsage =
    N_("Usage: ravelin [--ini FILE] [SCRIPT]\n"
       "Shows the server list; opens SCRIPT (a Ravelin script file) in the script editor, or\n"
       "runs it once the window is open when ScrExecOrEdit=1 in section [script] of ravelin.ini.\n"
       "Relative file names in a script count from the script file's folder (in a script\n"
       "never saved, from the current directory).\n"
       "  --ini FILE   use another ravelin.ini\n"
       "  --help       show this text\n"
       "  --version    show the version\n"
       "Scripts run without any window with ravelin-cli (see 'ravelin-cli --help').\n"
       "More in 'man ravelin'.\n");

}  // namespace

int runGui(int argc, char** argv) {
  // A wrong --ini, --help and --version are answered before QApplication exists: it ends
  // the program when there is no display to connect to.
  runtime::startTranslation();
  {
    std::vector<std::string> args(argv + 1, argv + argc);
    try {
      app::takeIniOption(args);
    } catch (const std::invalid_argument& e) {
      std::fprintf(stderr, "ravelin: %s\n%s", e.what(), _(kUsage));
      return 2;
    }
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
      std::fputs(_(kUsage), stdout);
      return 0;
    }
    if (!args.empty() && args[0] == "--version") {
      std::printf("ravelin %s\n", RAVELIN_VERSION);
      return 0;
    }
  }

  // QApplication takes its own options (-platform, -style, ...) out of argv.
  QApplication qapp(argc, argv);
  setApplicationIdentity();
  loadQtTranslations();

  std::vector<std::string> args(argv + 1, argv + argc);
  // Checked above: the options Qt took out leave --ini as it was.
  const std::optional<std::string> iniFile = app::takeIniOption(args);

  // A first argument that names no file is ignored; further arguments always are.
  const std::string script =
      !args.empty() && platform::fileExists(args[0]) ? app::absolutePath(args[0]) : "";
  app::FilePlaces places = app::locateFiles(app::currentStartupEnvironment(), iniFile.value_or(""));
  const QString socketPath = instanceSocketPath(app::absolutePath(places.iniFile));
  switch (handOverScript(socketPath, script)) {
    case HandOver::Taken:
      return 0;
    case HandOver::NoAnswer:
      std::fprintf(stderr, "ravelin: %s\n",
                   _("Ravelin runs already with this ravelin.ini but does not answer"));
      return 1;
    case HandOver::NoneRunning:
      break;
  }
  InstanceServer instance;
  instance.listen(socketPath);

  QtUiThread ui;
  QtPrompter prompter;
  runtime::AppContext ctx;
  ctx.prompter = &prompter;
  ctx.ui = &ui;
  app::AppSession session(ctx, std::move(places));
  session.start();

  serverlist::ServerList list;
  list.negCompare = ctx.settings.NegCompare;
  MainWindow window(list, session, ui);
  prompter.setMainWindow(&window);
  if (!script.empty()) window.setStartupScript(script);
  QObject::connect(
      &instance, &InstanceServer::scriptHanded, &window,
      [&window](const QString& path) { window.takeHandedScript(path.toStdString()); },
      Qt::QueuedConnection);
  window.setScriptAssociation(app::currentXdgPlaces());
  window.show();
  return QApplication::exec();
}

}  // namespace ravelin::qt
