#include "qt/gui_app.h"

#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "app/file_association.h"
#include "app/startup.h"
#include "desk/command_line.h"
#include "qt/app_identity.h"
#include "qt/main_window.h"
#include "qt/qt_prompter.h"
#include "qt/qt_translations.h"
#include "qt/qt_ui_thread.h"
#include "qt/single_instance.h"
#include "runtime/app_context.h"
#include "runtime/translate.h"
#include "serverlist/server_list.h"

namespace ravelin::qt {

int runGui(int argc, char** argv) {
  // A wrong --ini, --help and --version are answered before QApplication exists: it ends
  // the program when there is no display to connect to.
  runtime::startTranslation();
  if (const std::optional<desk::EarlyAnswer> answer =
          desk::answerBeforeWindows({argv + 1, argv + argc})) {
    std::fputs(answer->text.c_str(), answer->exitCode == 0 ? stdout : stderr);
    return answer->exitCode;
  }

  // QApplication takes its own options (-platform, -style, ...) out of argv.
  QApplication qapp(argc, argv);
  setApplicationIdentity();
  loadQtTranslations();

  std::vector<std::string> args(argv + 1, argv + argc);
  // Checked above: the options Qt took out leave --ini as it was.
  const std::optional<std::string> iniFile = app::takeIniOption(args);

  const desk::ScriptRequest script = desk::startupScript(args);
  app::FilePlaces places = app::locateFiles(app::currentStartupEnvironment(), iniFile.value_or(""));
  const QString socketPath = instanceSocketPath(app::absolutePath(places.iniFile));
  switch (handOverScript(socketPath, desk::handOverText(script))) {
    case HandOver::Taken:
      return 0;
    case HandOver::NoAnswer:
      std::fprintf(stderr, "ravelin: %s\n", _(desk::kRunningInstanceSilent));
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
  window.setStartupScript(script);
  QObject::connect(
      &instance, &InstanceServer::scriptHanded, &window,
      [&window](const QString& path) { window.takeHandedScript(path.toStdString()); },
      Qt::QueuedConnection);
  window.setScriptAssociation(std::make_unique<app::XdgScriptAssociation>(app::currentXdgPlaces()));
  window.show();
  return QApplication::exec();
}

}  // namespace ravelin::qt
