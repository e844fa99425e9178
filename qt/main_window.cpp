#include "qt/main_window.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <algorithm>

#include "qt/field_text.h"
#include "qt/icons.h"
#include "qt/ui_text.h"
#include "qt/window_metrics.h"

namespace ravelin::qt {

using namespace serverlist;

namespace {

// The system's clipboard.
class QtClipboard : public desk::Clipboard {
 public:
  std::string text() const override { return QGuiApplication::clipboard()->text().toStdString(); }
  void setText(const std::string& text) override {
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
  }
};

// The pictures of the toolbar's buttons, left to right.
constexpr std::array<ToolIcon, desk::kToolButtonCount> kButtonIcons = {
    ToolIcon::Refresh, ToolIcon::Update, ToolIcon::Verify, ToolIcon::Save, ToolIcon::Script};

QKeySequence shortcutKey(const desk::Shortcut& shortcut) {
  if (shortcut.functionKey) return QKeySequence(Qt::Key_F1 + shortcut.functionKey - 1);
  return QKeySequence(Qt::CTRL | (Qt::Key_A + (shortcut.ctrlLetter - 'A')));
}

}  // namespace

MainWindow::MainWindow(ServerList& list, app::AppSession& session, QtUiThread& ui)
    : list_(list), ctx_(session.context()), ui_(ui) {
  setWindowTitle(QStringLiteral("Ravelin " RAVELIN_VERSION));
  resize(kMainWindowWidth, kMainWindowHeight);

  model_ = std::make_unique<ServerListModel>(list_);
  view_ = new ServerListView(*model_, this);
  setCentralWidget(view_);

  for (int c = 0; c < kCommandCount; ++c) {
    actions_[static_cast<size_t>(c)] =
        new QAction(uiText(desk::commandCaption(static_cast<Command>(c))), this);
  }
  recentMenu_ = new QMenu(this);
  actions_[cmdRecentScripts]->setMenu(recentMenu_);

  // The menus first: they give the actions their keys, which the drop-downs measure.
  buildMenus();
  buildToolBar();
  buildStatusBar();
  // Wide enough for the toolbar's captions, which a translation may make longer.
  resize(std::max(kMainWindowWidth, toolBar_->sizeHint().width()), kMainWindowHeight);
  for (int c = 0; c < kCommandCount; ++c) {
    const auto command = static_cast<Command>(c);
    connect(actions_[command], &QAction::triggered, this, [this, command] {
      if (command == cmdCheckForUpdates)
        presenter_->checkForUpdates(openUrl);
      else
        presenter_->run(command);
    });
  }

  filter_ = new FilterWindow(list_, ctx_, this);
  editor_ = new ServerEditorDialog(list_, ctx_, this);
  countdown_ = new CountdownDialog(this);
  update_ = new UpdateWindow(this);
  verify_ = new VerifyWindow(this);
  warning_ = new VerifyWarningWindow(this);
  transfer_ = new TransferWindow(bar_, this);
  const auto lock = [this](bool enabled) { presenter_->lockInput(!enabled); };
  update_->onMainWindowEnabled = lock;
  verify_->onMainWindowEnabled = lock;
  transfer_->onMainWindowEnabled = lock;
  options_ = new OptionsDialog(session, this);
  about_ = new AboutBox(builtAboutFacts(), this);
  scriptEditor_ = new ScriptEditorWindow(ctx_, this);
  scriptEditor_->onRunScript = [this] { runEditorScript(); };
  versionCheck_ = new VersionCheckWindow(this);
  dialogs_ = std::make_unique<FileDialogs>(this, ctx_.settings);
  clipboard_ = std::make_unique<QtClipboard>();
  presenter_ = std::make_unique<desk::MainPresenter>(
      list_, session, desk::MainPresenter::Views{*this, *view_, *dialogs_, *clipboard_}, bar_);

  model_->onStatusChanged = [this] { presenter_->listStatusChanged(); };
  view_->onDeleteKey = [this] { runPopupItem(piDeleteServer); };
  view_->onDoubleClick = [this] { runPopupItem(piEditServer); };
  view_->onToggleChecks = [this] { presenter_->toggleChecks(); };
  view_->onPopupMenu = [this](const QPoint& at) {
    std::unique_ptr<QMenu> menu = makePopupMenu();
    menu->exec(at);
  };
  presenter_->listStatusChanged();
  presenter_->restoreWindowState();
}

MainWindow::~MainWindow() {
  presenter_.reset();
  // The view goes before the model it shows.
  delete view_;
  view_ = nullptr;
}

void MainWindow::buildToolBar() {
  toolBar_ = addToolBar(QStringLiteral("Commands"));
  toolBar_->setMovable(false);
  toolBar_->setFloatable(false);
  toolBar_->setContextMenuPolicy(Qt::PreventContextMenu);
  toolBar_->setIconSize(QSize(kToolIconSize, kToolIconSize));
  toolBar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  for (int b = 0; b < kToolButtonCount; ++b) {
    const desk::CommandGroup& group = desk::toolButtonGroup(static_cast<ToolButton>(b));
    if (b > 0) toolBar_->addSeparator();
    auto* button = new QToolButton(toolBar_);
    button->setText(uiText(group.caption));
    button->setIcon(toolIcon(kButtonIcons[static_cast<size_t>(b)]));
    button->setIconSize(QSize(kToolIconSize, kToolIconSize));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setPopupMode(QToolButton::MenuButtonPopup);
    button->setAutoRaise(true);
    button->setMinimumSize(kToolButtonWidth, kToolButtonHeight);
    // A stray Space must not start a command: the keyboard stays with the list.
    button->setFocusPolicy(Qt::NoFocus);
    auto* menu = new QMenu(button);
    for (Command c : group.commands) menu->addAction(actions_[c]);
    const Command first = *group.commands.begin();
    menu->setDefaultAction(actions_[first]);
    // The style draws the default item bold, but the menu measures it in the plain font:
    // the bold text's extra width keeps it from being cut off.
    QFont bold = menu->font();
    bold.setBold(true);
    // (Its key too, where it has one.)
    int extra = 0;
    for (const QString& text : {actions_[first]->text().remove(QLatin1Char('&')),
                                actions_[first]->shortcut().toString(QKeySequence::NativeText)})
      extra +=
          QFontMetrics(bold).horizontalAdvance(text) - menu->fontMetrics().horizontalAdvance(text);
    menu->setMinimumWidth(menu->sizeHint().width() + extra);
    button->setMenu(menu);
    connect(button, &QToolButton::clicked, this, [this, first] { actions_[first]->trigger(); });
    // A button whose own command is not available is not available as a whole.
    button->setEnabled(actions_[first]->isEnabled());
    toolBar_->addWidget(button);
    buttons_[static_cast<size_t>(b)] = button;
  }
}

void MainWindow::buildMenus() {
  // The window holds the actions, so that the keys work wherever their menus are.
  for (const desk::Shortcut& shortcut : desk::commandShortcuts()) {
    actions_[shortcut.command]->setShortcut(shortcutKey(shortcut));
    addAction(actions_[shortcut.command]);
  }
  for (const desk::Menu& entry : desk::mainMenus()) {
    QMenu* menu = menuBar()->addMenu(uiText(entry.caption));
    for (const std::optional<Command>& item : entry.items) {
      if (item)
        menu->addAction(actions_[*item]);
      else
        menu->addSeparator();
    }
  }
}

void MainWindow::buildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setSizeGripEnabled(true);
  status_ = new QLabel(bar);
  status_->setFixedWidth(kStatusPanelWidths[0]);
  bar->addWidget(status_);
  // The load/save bar is the second panel while it is visible; hidden, it leaves its room
  // to the last panel, whose texts are too long for the rest of a window of the default
  // width.
  progress_ = new QProgressBar(bar);
  progress_->setFixedWidth(kStatusPanelWidths[1]);
  progress_->setTextVisible(false);
  progress_->setRange(0, 100);
  progress_->setVisible(false);
  bar->addWidget(progress_);
  message_ = new QLabel(bar);
  // The last panel takes the rest of the bar: what the last command did.
  message_->setMinimumWidth(kStatusPanelWidths[2]);
  bar->addWidget(message_, 1);
  bar_.attach(progress_);
}

std::unique_ptr<QMenu> MainWindow::makePopupMenu() {
  auto menu = std::make_unique<QMenu>(this);
  const std::array<bool, kPopupItemCount> enabled = popupItemsEnabled(list_);
  for (int i = 0; i < kPopupItemCount; ++i) {
    QAction* item = menu->addAction(uiText(kPopupItemCaptions[static_cast<size_t>(i)]));
    item->setEnabled(enabled[static_cast<size_t>(i)]);
    const auto which = static_cast<PopupItem>(i);
    connect(item, &QAction::triggered, this, [this, which] { runPopupItem(which); });
    if (i == kPopupDefaultItem) menu->setDefaultAction(item);
  }
  return menu;
}

void MainWindow::fillRecentScripts(const std::vector<std::string>& captions) {
  // The list changes while a click on one of these items is still being delivered (the
  // script it runs goes on top), so the old items go once that delivery is over.
  for (QAction* old : recentMenu_->actions()) {
    recentMenu_->removeAction(old);
    old->deleteLater();
  }
  for (const std::string& caption : captions) {
    QAction* item = recentMenu_->addAction(fieldText(caption));
    connect(item, &QAction::triggered, this,
            [this, caption] { presenter_->chooseRecentScript(caption); });
  }
}

void MainWindow::showListStatus(const std::string& text) {
  status_->setText(fieldText(text));
}

void MainWindow::showMessage(const std::string& text, const std::string& detail) {
  message_->setText(fieldText(text));
  message_->setToolTip(fieldText(detail));
}

void MainWindow::setInputEnabled(bool enabled) {
  centralWidget()->setEnabled(enabled);
  toolBar_->setEnabled(enabled);
  menuBar()->setEnabled(enabled);
  // Disabling the list took the keyboard focus from it, and the toolbar's buttons take none:
  // the keys (Delete, Space, Enter, the arrows) work on the list again at once.
  if (enabled) view_->setFocus(Qt::OtherFocusReason);
}

void MainWindow::setBusy(bool busy) {
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

void MainWindow::bringToFront() {
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
}

void MainWindow::cancelLongCommands() {
  update_->cancel();
  verify_->cancel();
  transfer_->cancel();
  versionCheck_->cancel();
}

void MainWindow::hideWindowsForScript() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->isVisible() && w != countdown_) {
      hiddenWindows_.emplace_back(w);
      w->hide();
    }
  }
}

void MainWindow::restoreWindowsAfterScript() {
  for (const QPointer<QWidget>& w : hiddenWindows_) {
    if (w) w->show();
  }
  hiddenWindows_.clear();
}

desk::WindowPlace MainWindow::place() const {
  const QRect place = normalGeometry();
  return {place.x(), place.y(), place.width(), place.height()};
}

void MainWindow::placeWindow(const desk::WindowPlace& kept) {
  desk::WindowPlace place = kept;
  const QPoint center(place.left + place.width / 2, place.top + place.height / 2);
  QScreen* screen = QGuiApplication::screenAt(center);
  const QScreen* fitTo = screen ? screen : QGuiApplication::primaryScreen();
  if (fitTo) {
    // The window manager's title bar is not known before the window is shown; the style's
    // title bar height stands in for it.
    const QRect room = fitTo->availableGeometry().adjusted(
        0, style()->pixelMetric(QStyle::PM_TitleBarHeight), 0, 0);
    place = desk::fitIntoScreen(place, {room.x(), room.y(), room.width(), room.height()});
  }
  if (screen)
    setGeometry(place.left, place.top, place.width, place.height);
  else
    resize(place.width, place.height);
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (presenter_->shown()) QTimer::singleShot(0, this, [this] { presenter_->startUp(); });
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (presenter_->closeDecision() != desk::CloseDecision::Close) {
    event->ignore();
    return;
  }
  filter_->hide();
  event->accept();
  QCoreApplication::quit();
}

}  // namespace ravelin::qt
