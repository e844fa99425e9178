#pragma once
#include <QDialog>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <optional>

#include "script/script_language.h"

namespace ravelin::qt {

// The catalogue of script commands: the entries on the left, the chosen one's description
// on the right. OK is available once an entry is chosen.
class InsertCommandDialog : public QDialog {
 public:
  explicit InsertCommandDialog(QWidget* parent = nullptr);

  // Shows the dialog modally: the entry chosen with OK, or nothing.
  const script::ScriptCommandInfo* choose();

  QListWidget* commandList() const { return commands_; }
  QPlainTextEdit* descriptionBox() const { return description_; }
  QPushButton* okButton() const { return ok_; }

 private:
  void showDescription();

  QListWidget* commands_;
  QPlainTextEdit* description_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace ravelin::qt
