#include "qt/insert_command_dialog.h"
#include "qt/dialog_layout.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "qt/ui_text.h"
#include "qt/window_metrics.h"

namespace ravelin::qt {

InsertCommandDialog::InsertCommandDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint),
      commands_(new QListWidget(this)),
      description_(new QPlainTextEdit(this)),
      ok_(new QPushButton(uiText(kOkCaption), this)),
      cancel_(new QPushButton(uiText(kCancelCaption), this)) {
  setWindowTitle(uiText(kInsertCommandCaption));
  for (const script::ScriptCommandInfo& info : script::scriptCommands())
    commands_->addItem(QString::fromLatin1(info.entry));
  description_->setReadOnly(true);
  description_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  ok_->setDefault(true);
  ok_->setEnabled(false);

  const auto column = [this](const char* caption, QWidget* box) {
    auto* layout = new QVBoxLayout;
    auto* label = new QLabel(uiText(caption), this);
    label->setBuddy(box);
    layout->addWidget(label);
    layout->addWidget(box);
    return layout;
  };
  auto* columns = new QHBoxLayout;
  columns->addLayout(column(kChooseCommandLabel, commands_), 1);
  columns->addLayout(column(kDescriptionLabel, description_), 1);
  auto* buttons = buttonRow({ok_, cancel_}, ButtonAlign::Right);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns);
  layout->addLayout(buttons);
  setFixedSize(kInsertCommandWidth, kInsertCommandHeight);

  connect(commands_, &QListWidget::currentRowChanged, this, [this] { showDescription(); });
  connect(commands_, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
  connect(ok_, &QPushButton::clicked, this, [this] { accept(); });
  connect(cancel_, &QPushButton::clicked, this, [this] { reject(); });
}

void InsertCommandDialog::showDescription() {
  const int row = commands_->currentRow();
  ok_->setEnabled(row >= 0);
  if (row < 0) return;
  const std::string text =
      script::scriptCommandDescription(script::scriptCommands()[static_cast<size_t>(row)]);
  // The description's lines end in CR LF; the box breaks lines at the LF alone.
  description_->setPlainText(QString::fromUtf8(text).remove(QLatin1Char('\r')));
}

const script::ScriptCommandInfo* InsertCommandDialog::choose() {
  // Centred on the main window, the outermost of the windows that own this one.
  QWidget* owner = parentWidget();
  while (owner && owner->parentWidget()) owner = owner->parentWidget();
  centreOver(*this, owner);
  if (exec() != QDialog::Accepted || commands_->currentRow() < 0) return nullptr;
  return &script::scriptCommands()[static_cast<size_t>(commands_->currentRow())];
}

}  // namespace ravelin::qt
