#include "qt/qt_prompter.h"

#include <QMessageBox>

#include "qt/field_text.h"
#include "qt/front_window.h"
#include "qt/override_cursor.h"

namespace ravelin::qt {

namespace {

QMessageBox::Icon boxIcon(runtime::MsgIcon icon) {
  switch (icon) {
    case runtime::MsgIcon::Error:
      return QMessageBox::Critical;
    case runtime::MsgIcon::Exclamation:
      return QMessageBox::Warning;
    case runtime::MsgIcon::Question:
      return QMessageBox::Question;
    case runtime::MsgIcon::Information:
      return QMessageBox::Information;
    case runtime::MsgIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons boxButtons(runtime::MsgButtons buttons) {
  switch (buttons) {
    case runtime::MsgButtons::Ok:
      return QMessageBox::Ok;
    case runtime::MsgButtons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case runtime::MsgButtons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case runtime::MsgButtons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

}  // namespace

runtime::MsgResult QtPrompter::message(const std::string& title, const std::string& text,
                                       runtime::MsgIcon icon, runtime::MsgButtons buttons) {
  QWidget* parent = frontWindow(mainWindow_);
  QString body = fieldText(text);
  body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QMessageBox box(boxIcon(icon), fieldText(title), body, boxButtons(buttons), parent);
  // Windows' boxes answer a closed box (Escape, the title bar) with Cancel, No or OK.
  box.setWindowModality(Qt::ApplicationModal);
  keepAboveOnTopWindows(box);
  // A question waits for the user, whatever the command around it shows.
  OverrideCursor arrow(Qt::ArrowCursor);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return runtime::MsgResult::Yes;
    case QMessageBox::No:
      return runtime::MsgResult::No;
    case QMessageBox::Cancel:
      return runtime::MsgResult::Cancel;
    default:
      break;
  }
  if (buttons == runtime::MsgButtons::YesNo) return runtime::MsgResult::No;
  return runtime::MsgResult::Ok;
}

}  // namespace ravelin::qt
