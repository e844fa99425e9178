#include "gui_test_support.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
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

namespace {

// The protected part of Qt's header that says how wide a caption needs to be.
struct HeaderSizes : QHeaderView {
  using QHeaderView::sectionSizeFromContents;
};

}  // namespace

QStringList cutOffTexts(QWidget* window) {
  QStringList cut;
  for (QLabel* l : window->findChildren<QLabel*>()) {
    if (l->isVisibleTo(window) && !l->wordWrap() && !Qt::mightBeRichText(l->text()) &&
        l->fontMetrics().boundingRect(QRect(), Qt::TextShowMnemonic, l->text()).width() >
            l->contentsRect().width() - 2 * l->margin() - std::max(0, l->indent()))
      cut << l->text();
  }
  for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
    if (b->isVisibleTo(window) && !b->text().isEmpty() && b->width() < b->sizeHint().width())
      cut << b->text();
  // A pointer to QHeaderView's member, reached through the subclass that makes it public:
  // the headers are no HeaderSizes, so they are not cast to one.
  const auto sizeFromContents = &HeaderSizes::sectionSizeFromContents;
  for (QHeaderView* h : window->findChildren<QHeaderView*>())
    for (int s = 0; h->isVisibleTo(window) && s < h->count() - 1; ++s)  // the last stretches
      if (h->sectionSize(s) < (h->*sizeFromContents)(s).width())
        cut << h->model()->headerData(s, h->orientation()).toString();
  // A menu measures its items in their own fonts, but the style draws the default one bold:
  // it needs as much room as in a menu of its own with a bold font.
  QList<QMenu*> menus = window->findChildren<QMenu*>();
  for (QToolButton* b : window->findChildren<QToolButton*>())
    if (b->menu() && !menus.contains(b->menu())) menus << b->menu();
  for (QMenu* m : menus) {
    QAction* a = m->defaultAction();
    if (!a) continue;
    QMenu probe;
    QAction* bold = probe.addAction(a->text());
    bold->setShortcut(a->shortcut());
    QFont font = m->font();
    font.setBold(true);
    bold->setFont(font);
    if (m->actionGeometry(a).width() < probe.actionGeometry(bold).width()) cut << a->text();
  }
  return cut;
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
  window = std::make_unique<ravelin::qt::MainWindow>(list, *session, ui);
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
