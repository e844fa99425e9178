#include "qt/server_editor_dialog.h"
#include "qt/dialog_layout.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "qt/front_window.h"
#include "qt/ui_text.h"
#include "qt/window_metrics.h"

namespace ravelin::qt {

using namespace serverlist;

using desk::kEditorBoxes;

ServerEditorDialog::ServerEditorDialog(ServerList& list, runtime::AppContext& ctx, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint),
      presenter_(list, ctx, *this) {
  setModal(true);
  info_ = new QLabel(uiText(kEditorInfoPlaceholder), this);
  auto* grid = new QGridLayout;
  for (size_t i = 0; i < kEditorBoxes.size(); ++i) {
    QLineEdit* edit = new QLineEdit(this);
    edit->installEventFilter(this);
    boxes_[i] = edit;
    auto* label =
        new QLabel(uiText(kEditorLabels[static_cast<size_t>(desk::kEditorBoxLabelRow[i])]), this);
    label->setBuddy(edit);
    grid->addWidget(label, desk::kEditorBoxLabelRow[i], 0);
    grid->addWidget(edit, desk::kEditorBoxLabelRow[i], 1);
  }
  pref_ = new QComboBox(this);
  pref_->setEditable(false);
  for (const char* item : kPrefItems) pref_->addItem(uiText(item), QString::fromLatin1(item));
  auto* prefLabel = new QLabel(uiText(kEditorLabels[desk::kEditorPrefLabelRow]), this);
  prefLabel->setBuddy(pref_);
  grid->addWidget(prefLabel, desk::kEditorPrefLabelRow, 0);
  grid->addWidget(pref_, desk::kEditorPrefLabelRow, 1);
  grid->setColumnStretch(1, 1);

  ok_ = new QPushButton(uiText(kOkCaption), this);
  cancel_ = new QPushButton(uiText(kCancelCaption), this);
  ok_->setDefault(true);
  cancel_->setAutoDefault(false);
  auto* buttons = buttonRow({ok_, cancel_}, ButtonAlign::Right);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(info_);
  layout->addLayout(grid);
  layout->addSpacing(6);
  layout->addLayout(buttons);
  setMinimumWidth(340);

  connect(ok_, &QPushButton::clicked, this, [this] { ok(); });
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void ServerEditorDialog::showTexts(const std::string& caption, const std::string& info) {
  setWindowTitle(QString::fromStdString(caption));
  info_->setText(QString::fromStdString(info));
}

void ServerEditorDialog::setBoxText(EditorBox which, const std::string& text) {
  box(which)->setText(QString::fromStdString(text));
}

std::string ServerEditorDialog::boxText(EditorBox which) const {
  return box(which)->text().toStdString();
}

void ServerEditorDialog::focusBox(EditorBox which) {
  box(which)->selectAll();
  box(which)->setFocus(Qt::OtherFocusReason);
}

void ServerEditorDialog::prepareAdd() {
  presenter_.prepareAdd();
}

bool ServerEditorDialog::prepareEdit() {
  return presenter_.prepareEdit();
}

// Opened from the main window's list also while the script editor stays on top of it.
bool ServerEditorDialog::runAdd() {
  prepareAdd();
  keepAboveOnTopWindows(*this);
  return exec() == QDialog::Accepted;
}

bool ServerEditorDialog::runEdit() {
  if (!prepareEdit()) return false;
  keepAboveOnTopWindows(*this);
  return exec() == QDialog::Accepted;
}

void ServerEditorDialog::ok() {
  presenter_.ok();
}

bool ServerEditorDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    for (size_t i = 0; i < kEditorBoxes.size(); ++i) {
      if (watched != boxes_[i]) continue;
      auto* key = static_cast<QKeyEvent*>(event);
      // Keys that are no characters (arrows, Home, Delete) move and edit as usual, and the
      // dialog's own keys (Enter, Escape, Tab) work in every box; every typed character
      // has to pass the box's filter.
      switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Delete:
          return false;
        default:
          break;
      }
      return !desk::ServerEditorPresenter::boxTakes(kEditorBoxes[i], key->text().toStdString());
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace ravelin::qt
