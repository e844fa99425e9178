#pragma once
#include <QPlainTextEdit>

namespace ravelin::gui {

// The script editor's text: a plain, unwrapped monospace text with the line numbers in a
// margin on its left.
class ScriptTextEdit : public QPlainTextEdit {
 public:
  explicit ScriptTextEdit(QWidget* parent = nullptr);

  int lineNumberWidth() const;
  void paintLineNumbers(QPaintEvent* event);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void updateMargin();

  QWidget* margin_;
};

}  // namespace ravelin::gui
