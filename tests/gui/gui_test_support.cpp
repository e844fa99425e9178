#include "gui_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "platform/file_io.h"
#include "serverlist/met_file.h"

namespace test::gui {

void onceWhen(std::function<bool()> holds, std::function<void()> act) {
  auto* timer = new QTimer;
  timer->setInterval(1);
  QObject::connect(timer, &QTimer::timeout,
                   [timer, holds = std::move(holds), act = std::move(act)] {
                     if (!holds()) return;
                     timer->stop();
                     timer->deleteLater();
                     act();
                   });
  timer->start();
}

void whenModal(std::function<void(QWidget*)> act) {
  const auto modal = [] {
    QWidget* w = QApplication::activeModalWidget();
    return w && w->isVisible() ? w : nullptr;
  };
  onceWhen([modal] { return modal() != nullptr; }, [modal, act = std::move(act)] { act(modal()); });
}

FastClock::FastClock(runtime::AppContext& ctx) : ctx_(ctx), ticker_(std::make_unique<QTimer>()) {
  ctx_.clock = &clock;
  ticker_->setInterval(1);
  QObject::connect(ticker_.get(), &QTimer::timeout, [this] { clock.advance(10); });
  ticker_->start();
}

FastClock::~FastClock() {
  ctx_.clock = &platform::systemClock();
}

void chooseFile(const std::string& path, int filterIndex) {
  whenModal([path, filterIndex](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr) << "expected a file dialog";
    dialog->selectNameFilter(dialog->nameFilters().value(filterIndex));
    dialog->selectFile(QString::fromStdString(path));
    QMetaObject::invokeMethod(dialog, "accept");
  });
}

void settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

serverlist::Server server(const std::string& ip, const std::string& port, const std::string& name,
                          const std::string& users) {
  serverlist::Server s;
  s.ip = ip;
  s.port = port;
  s.name = name;
  s.users = users;
  return s;
}

void writeMetFile(const std::string& path, const std::vector<serverlist::Server>& servers) {
  serverlist::ServerList list;
  for (const auto& s : servers) list.append(s, true);
  platform::writeFileAtomically(path, *serverlist::encodeMetFile(list, false));
}

std::vector<serverlist::Server> readMetFile(const std::string& path) {
  serverlist::ServerList list;
  runtime::AppContext ctx;
  runtime::ProgressBar bar;
  serverlist::readServersFromMet(list, path, bar, ctx);
  std::vector<serverlist::Server> servers;
  for (const auto& e : list.entries()) servers.push_back(e.server);
  return servers;
}

MainWindowFixture::MainWindowFixture() {
  const std::string ini = dir.file("ravelin.ini");
  WriteFile(ini, "[general]\r\nEDPath=" + dir.path().string() + "/\r\nLOG=1\r\n");
  ctx.prompter = &prompter;
  ctx.ui = &ui;
  session = std::make_unique<app::AppSession>(ctx, ini);
  session->start();
  window = std::make_unique<ravelin::gui::MainWindow>(list, *session, ui);
  window->show();
  settle();
}

MainWindowFixture::~MainWindowFixture() {
  window.reset();
  settle();
}

std::vector<std::string> MainWindowFixture::logLines() const {
  return test::LogMessages(ctx.log.logFileName);
}

std::vector<std::string> MainWindowFixture::column(int field) {
  settle();
  std::vector<std::string> texts;
  auto& model = window->serverModel();
  for (int r = 0; r < model.rowCount(); ++r) {
    texts.push_back(model.index(r, field).data().toString().toStdString());
  }
  return texts;
}

}  // namespace test::gui
