#include "qt/icons.h"

#include <QPainter>
#include <QPainterPath>

#include "qt/window_metrics.h"

namespace ravelin::qt {

namespace {

const char* themeName(ToolIcon which) {
  switch (which) {
    case ToolIcon::Refresh:
      return "document-open";
    case ToolIcon::Update:
      return "go-down";
    case ToolIcon::Verify:
      return "network-transmit-receive";
    case ToolIcon::Save:
      return "document-save";
    case ToolIcon::Script:
      return "system-run";
  }
  return "";
}

// A plain picture: a coloured disc with a white sign, legible at 16 and 32 pixels.
QColor discColour(ToolIcon which) {
  switch (which) {
    case ToolIcon::Refresh:
      return QColor(0x2E, 0x7D, 0x32);
    case ToolIcon::Update:
      return QColor(0x15, 0x65, 0xC0);
    case ToolIcon::Verify:
      return QColor(0xEF, 0x6C, 0x00);
    case ToolIcon::Save:
      return QColor(0x45, 0x5A, 0x64);
    case ToolIcon::Script:
      return QColor(0x6A, 0x1B, 0x9A);
  }
  return Qt::gray;
}

}  // namespace

QPixmap drawnToolIcon(ToolIcon which, int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 32.0, size / 32.0);
  p.setPen(Qt::NoPen);
  p.setBrush(discColour(which));
  p.drawEllipse(QRectF(1, 1, 30, 30));
  QPen pen(Qt::white, 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  switch (which) {
    case ToolIcon::Refresh: {
      // A circular arrow.
      p.drawArc(QRectF(8, 8, 16, 16), 60 * 16, 270 * 16);
      QPainterPath head;
      head.moveTo(20, 5);
      head.lineTo(25, 10);
      head.lineTo(19, 12);
      p.drawPath(head);
      break;
    }
    case ToolIcon::Update:
      // An arrow down onto a line.
      p.drawLine(QPointF(16, 7), QPointF(16, 21));
      p.drawPolyline(QPolygonF({QPointF(10, 15), QPointF(16, 21), QPointF(22, 15)}));
      p.drawLine(QPointF(9, 25), QPointF(23, 25));
      break;
    case ToolIcon::Verify:
      // A check mark.
      p.drawPolyline(QPolygonF({QPointF(9, 16), QPointF(14, 22), QPointF(23, 10)}));
      break;
    case ToolIcon::Save:
      // A disk.
      p.drawRect(QRectF(9, 9, 14, 14));
      p.drawLine(QPointF(12, 9), QPointF(12, 14));
      p.drawLine(QPointF(12, 14), QPointF(20, 14));
      p.drawLine(QPointF(20, 14), QPointF(20, 9));
      break;
    case ToolIcon::Script:
      // A play sign.
      p.setBrush(Qt::white);
      p.drawPolygon(QPolygonF({QPointF(12, 9), QPointF(23, 16), QPointF(12, 23)}));
      break;
  }
  return pixmap;
}

QIcon toolIcon(ToolIcon which) {
  QIcon drawn;
  for (int size : {16, 24, kToolIconSize, 2 * kToolIconSize})
    drawn.addPixmap(drawnToolIcon(which, size));
  return QIcon::fromTheme(QString::fromLatin1(themeName(which)), drawn);
}

}  // namespace ravelin::qt
