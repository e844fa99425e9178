#include "qt/script_text_edit.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTextBlock>
#include <algorithm>

#include "qt/window_metrics.h"

namespace ravelin::qt {

namespace {

class LineNumberMargin : public QWidget {
 public:
  explicit LineNumberMargin(ScriptTextEdit* text) : QWidget(text), text_(text) {}
  QSize sizeHint() const override { return {text_->lineNumberWidth(), 0}; }

 protected:
  void paintEvent(QPaintEvent* event) override { text_->paintLineNumbers(event); }

 private:
  ScriptTextEdit* text_;
};

}  // namespace

ScriptTextEdit::ScriptTextEdit(QWidget* parent)
    : QPlainTextEdit(parent), margin_(new LineNumberMargin(this)) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSize(kScriptFontPointSize);
  setFont(font);
  QPalette colours = palette();
  colours.setColor(QPalette::Text, Qt::black);
  colours.setColor(QPalette::Base, Qt::white);
  setPalette(colours);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  connect(this, &QPlainTextEdit::blockCountChanged, this, [this] { updateMargin(); });
  connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect& rect, int dy) {
    if (dy != 0)
      margin_->scroll(0, dy);
    else
      margin_->update(0, rect.y(), margin_->width(), rect.height());
  });
  updateMargin();
}

int ScriptTextEdit::lineNumberWidth() const {
  const int digits = QString::number(std::max(1, blockCount())).size();
  return 3 * kLineNumberPadding + fontMetrics().horizontalAdvance(QLatin1Char('9')) * digits;
}

void ScriptTextEdit::updateMargin() {
  setViewportMargins(lineNumberWidth(), 0, 0, 0);
  margin_->update();
}

bool ScriptTextEdit::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride &&
      reserved_.contains(QKeySequence(static_cast<QKeyEvent*>(event)->keyCombination()))) {
    event->ignore();
    return true;
  }
  return QPlainTextEdit::event(event);
}

void ScriptTextEdit::resizeEvent(QResizeEvent* event) {
  QPlainTextEdit::resizeEvent(event);
  const QRect area = contentsRect();
  margin_->setGeometry(area.left(), area.top(), lineNumberWidth(), area.height());
}

void ScriptTextEdit::paintLineNumbers(QPaintEvent* event) {
  QPainter painter(margin_);
  painter.fillRect(event->rect(), palette().color(QPalette::Window));
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawLine(margin_->width() - 1, event->rect().top(), margin_->width() - 1,
                   event->rect().bottom());
  painter.setPen(palette().color(QPalette::PlaceholderText));
  QTextBlock block = firstVisibleBlock();
  int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
  while (block.isValid() && top <= event->rect().bottom()) {
    const int height = qRound(blockBoundingRect(block).height());
    if (block.isVisible() && top + height >= event->rect().top()) {
      painter.drawText(0, top, margin_->width() - 2 * kLineNumberPadding, fontMetrics().height(),
                       Qt::AlignRight, QString::number(block.blockNumber() + 1));
    }
    top += height;
    block = block.next();
  }
}

}  // namespace ravelin::qt
