#pragma once
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>

#include "runtime/app_context.h"
#include "serverlist/server_editor.h"
#include "serverlist/server_list.h"

namespace ravelin::qt {

// "Ravelin: Add server" / "Ravelin: Edit server": a modal dialog on top of the others with
// the nine fields of a server. Its boxes take only the characters the editor's key filters
// let through; OK checks the values by the editor's rules and stays open on a refusal.
class ServerEditorDialog : public QDialog {
 public:
  ServerEditorDialog(serverlist::ServerList& list, runtime::AppContext& ctx,
                     QWidget* parent = nullptr);

  // Fills the dialog for a new server, or for the list's selected row (nothing happens
  // without one), and shows it modally. Returns whether the list changed.
  bool runAdd();
  bool runEdit();

  // Prepares the dialog without showing it (runAdd and runEdit call these).
  void prepareAdd();
  bool prepareEdit();
  // The OK button.
  void ok();

  QLineEdit* box(serverlist::EditorBox which) const { return boxes_[static_cast<size_t>(which)]; }
  QComboBox* preferenceBox() const { return pref_; }
  QLabel* infoLabel() const { return info_; }
  QPushButton* okButton() const { return ok_; }
  QPushButton* cancelButton() const { return cancel_; }
  serverlist::EditorMode mode() const { return mode_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void fill(const serverlist::EditorOpening& opening);
  serverlist::EditorValues values() const;

  serverlist::ServerList& list_;
  runtime::AppContext& ctx_;
  serverlist::EditorMode mode_ = serverlist::EditorMode::Add;
  // The values as the dialog opened with them: a box left as shown keeps its bytes.
  serverlist::EditorValues shown_;
  QLabel* info_;
  std::array<QLineEdit*, 8> boxes_{};
  QComboBox* pref_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace ravelin::qt
