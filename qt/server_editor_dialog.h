#pragma once
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>

#include "desk/server_editor_presenter.h"
#include "runtime/app_context.h"
#include "serverlist/server_editor.h"
#include "serverlist/server_list.h"

namespace ravelin::qt {

// "Ravelin: Add server" / "Ravelin: Edit server": a modal dialog on top of the others with
// the nine fields of a server. Its boxes take only the characters the editor's key filters
// let through; OK checks the values by the editor's rules and stays open on a refusal.
class ServerEditorDialog : public QDialog, public desk::ServerEditorView {
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
  serverlist::EditorMode mode() const { return presenter_.mode(); }

  // desk::ServerEditorView.
  void showTexts(const std::string& caption, const std::string& info) override;
  void setBoxText(serverlist::EditorBox which, const std::string& text) override;
  void setPreference(int item) override { pref_->setCurrentIndex(item); }
  std::string boxText(serverlist::EditorBox which) const override;
  int preference() const override { return pref_->currentIndex(); }
  void focusBox(serverlist::EditorBox which) override;
  void accept() override { QDialog::accept(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  desk::ServerEditorPresenter presenter_;
  QLabel* info_;
  std::array<QLineEdit*, 8> boxes_{};
  QComboBox* pref_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace ravelin::qt
