#include "qt/server_editor_dialog.h"
#include "qt/dialog_layout.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "qt/field_text.h"
#include "qt/front_window.h"
#include "qt/ui_text.h"
#include "qt/window_metrics.h"

namespace ravelin::qt {

using namespace serverlist;

namespace {

// The boxes top to bottom, with the label row each one sits in (the preference list takes
// row 7).
constexpr std::array<EditorBox, 8> kBoxes = {EditorBox::IP,    EditorBox::Port,   EditorBox::Name,
                                             EditorBox::Desc,  EditorBox::Ping,   EditorBox::Users,
                                             EditorBox::Files, EditorBox::History};
constexpr std::array<int, 8> kBoxLabelRow = {0, 1, 2, 3, 4, 5, 6, 8};
constexpr int kPrefLabelRow = 7;

std::string& valueOf(EditorValues& v, EditorBox box) {
  switch (box) {
    case EditorBox::IP:
      return v.ip;
    case EditorBox::Port:
      return v.port;
    case EditorBox::Name:
      return v.name;
    case EditorBox::Desc:
      return v.desc;
    case EditorBox::Ping:
      return v.ping;
    case EditorBox::Users:
      return v.users;
    case EditorBox::Files:
      return v.files;
    case EditorBox::History:
      break;
  }
  return v.hist;
}

}  // namespace

ServerEditorDialog::ServerEditorDialog(ServerList& list, runtime::AppContext& ctx, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint),
      list_(list),
      ctx_(ctx) {
  setModal(true);
  info_ = new QLabel(uiText(kEditorInfoPlaceholder), this);
  auto* grid = new QGridLayout;
  for (size_t i = 0; i < kBoxes.size(); ++i) {
    QLineEdit* edit = new QLineEdit(this);
    edit->installEventFilter(this);
    boxes_[i] = edit;
    auto* label = new QLabel(uiText(kEditorLabels[static_cast<size_t>(kBoxLabelRow[i])]), this);
    label->setBuddy(edit);
    grid->addWidget(label, kBoxLabelRow[i], 0);
    grid->addWidget(edit, kBoxLabelRow[i], 1);
  }
  pref_ = new QComboBox(this);
  pref_->setEditable(false);
  for (const char* item : kPrefItems) pref_->addItem(uiText(item), QString::fromLatin1(item));
  auto* prefLabel = new QLabel(uiText(kEditorLabels[kPrefLabelRow]), this);
  prefLabel->setBuddy(pref_);
  grid->addWidget(prefLabel, kPrefLabelRow, 0);
  grid->addWidget(pref_, kPrefLabelRow, 1);
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

void ServerEditorDialog::fill(const EditorOpening& opening) {
  setWindowTitle(uiText(opening.caption));
  info_->setText(uiText(opening.info));
  shown_ = opening.values;
  for (size_t i = 0; i < kBoxes.size(); ++i) {
    boxes_[i]->setText(fieldText(valueOf(shown_, kBoxes[i])));
  }
  const int pref = prefItemIndex(shown_.pref);
  pref_->setCurrentIndex(pref < 0 ? 0 : pref);
  boxes_[0]->setFocus(Qt::OtherFocusReason);
  boxes_[0]->selectAll();
}

void ServerEditorDialog::prepareAdd() {
  mode_ = EditorMode::Add;
  fill(openEditorForAdd());
}

bool ServerEditorDialog::prepareEdit() {
  const std::optional<size_t> row = list_.selected();
  if (!row) return false;
  mode_ = EditorMode::Edit;
  fill(openEditorForEdit(list_[*row].server));
  return true;
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

EditorValues ServerEditorDialog::values() const {
  EditorValues v;
  EditorValues shown = shown_;
  for (size_t i = 0; i < kBoxes.size(); ++i) {
    valueOf(v, kBoxes[i]) = fieldBytes(boxes_[i]->text(), valueOf(shown, kBoxes[i]));
  }
  v.pref = pref_->currentData().toString().toStdString();
  return v;
}

void ServerEditorDialog::ok() {
  const EditorResult result = editorOk(list_, mode_, values(), ctx_);
  QLineEdit* refused = result.focusIP()     ? box(EditorBox::IP)
                       : result.focusPort() ? box(EditorBox::Port)
                                            : nullptr;
  if (refused) {
    refused->selectAll();
    refused->setFocus(Qt::OtherFocusReason);
  }
  if (result.closes()) accept();
}

bool ServerEditorDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    for (size_t i = 0; i < kBoxes.size(); ++i) {
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
      const QByteArray typed = key->text().toUtf8();
      if (typed.isEmpty()) return false;
      for (char c : typed) {
        if (!editorBoxAcceptsKey(kBoxes[i], c)) return true;
      }
      return false;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace ravelin::qt
