#pragma once
#include <windows.h>

#include "desk/server_editor_presenter.h"
#include "win/dialog.h"

namespace ravelin::win {

// "Ravelin: Add server" / "Ravelin: Edit server": modal, the nine fields of a server.
// The boxes take only the characters the editor's key filters let through; OK stays open
// on a refusal (desk's presenter).
class ServerEditorDialog : public Dialog, public desk::ServerEditorView {
 public:
  static constexpr int kInfoId = 200;
  static constexpr int kFirstBoxId = 210;  // + serverlist::EditorBox
  static constexpr int kPreferenceId = 220;

  ServerEditorDialog(serverlist::ServerList& list, runtime::AppContext& ctx)
      : presenter_(list, ctx, *this) {}

  // Shows the dialog for a new server, or for the list's selected row (nothing happens
  // without one). Returns whether the list changed.
  bool runAdd(HWND owner);
  bool runEdit(HWND owner);

  // desk::ServerEditorView.
  void showTexts(const std::string& caption, const std::string& info) override;
  void setBoxText(serverlist::EditorBox box, const std::string& text) override;
  void setPreference(int item) override;
  std::string boxText(serverlist::EditorBox box) const override;
  int preference() const override;
  void focusBox(serverlist::EditorBox box) override;
  void accept() override { end(IDOK); }

 private:
  DialogTemplate layout() const override;
  void created() override;
  void command(int id, int code) override;
  static LRESULT CALLBACK boxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                  DWORD_PTR which);

  desk::ServerEditorPresenter presenter_;
  bool editing_ = false;
};

}  // namespace ravelin::win
