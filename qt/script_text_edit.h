#pragma once
#include <QPlainTextEdit>

namespace ravelin::qt {

// The script editor's text: a plain, unwrapped monospace text with the line numbers in a
// margin on its left.
class ScriptTextEdit : public QPlainTextEdit {
 public:
  explicit ScriptTextEdit(QWidget* parent = nullptr);

  // Keys that belong to the window's menu even where the text would take them (Ctrl+Y is
  // redo on some desktops).
  void reserveShortcuts(QList<QKeySequence> keys) { reserved_ = std::move(keys); }

  int lineNumberWidth() const;
  void paintLineNumbers(QPaintEvent* event);

 protected:
  bool event(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void updateMargin();

  QWidget* margin_;
  QList<QKeySequence> reserved_;
};

}  // namespace ravelin::qt
