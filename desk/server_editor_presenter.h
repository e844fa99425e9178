#pragma once
// The add/edit server dialog's behaviour without a toolkit: what it shows when it opens,
// which typed characters each box takes, and what OK does, by the core's editor rules.
#include <array>
#include <string>

#include "runtime/app_context.h"
#include "serverlist/server_editor.h"
#include "serverlist/server_list.h"

namespace ravelin::desk {

// The dialog's boxes top to bottom, with the label row each sits in (kEditorLabels; the
// preference list takes row 7).
inline constexpr std::array<serverlist::EditorBox, 8> kEditorBoxes = {
    serverlist::EditorBox::IP,    serverlist::EditorBox::Port,   serverlist::EditorBox::Name,
    serverlist::EditorBox::Desc,  serverlist::EditorBox::Ping,   serverlist::EditorBox::Users,
    serverlist::EditorBox::Files, serverlist::EditorBox::History};
inline constexpr std::array<int, 8> kEditorBoxLabelRow = {0, 1, 2, 3, 4, 5, 6, 8};
inline constexpr int kEditorPrefLabelRow = 7;

class ServerEditorView {
 public:
  virtual ~ServerEditorView() = default;
  // Fills the dialog: its caption and info line (translated here), a box's text (UTF-8),
  // the preference item (an index of serverlist::kPrefItems).
  virtual void showTexts(const std::string& caption, const std::string& info) = 0;
  virtual void setBoxText(serverlist::EditorBox box, const std::string& text) = 0;
  virtual void setPreference(int item) = 0;
  virtual std::string boxText(serverlist::EditorBox box) const = 0;
  virtual int preference() const = 0;
  // Selects the whole text of the box and gives it the focus.
  virtual void focusBox(serverlist::EditorBox box) = 0;
  // The dialog closes as accepted.
  virtual void accept() = 0;
};

class ServerEditorPresenter {
 public:
  ServerEditorPresenter(serverlist::ServerList& list, runtime::AppContext& ctx,
                        ServerEditorView& view)
      : list_(list), ctx_(ctx), view_(view) {}

  // Fills the view for a new server, or for the list's selected row (false without one:
  // the view is left as it was).
  void prepareAdd();
  bool prepareEdit();
  // Whether the list has a selected row to edit.
  bool hasRowToEdit() const { return list_.selected().has_value(); }
  // The OK button: the list changes and the view closes, or a refused box is focused.
  void ok();
  // Whether the box takes the typed characters (UTF-8): every byte has to pass.
  static bool boxTakes(serverlist::EditorBox box, const std::string& typed);

  serverlist::EditorMode mode() const { return mode_; }

 private:
  void fill(const serverlist::EditorOpening& opening);
  serverlist::EditorValues values() const;

  serverlist::ServerList& list_;
  runtime::AppContext& ctx_;
  ServerEditorView& view_;
  serverlist::EditorMode mode_ = serverlist::EditorMode::Add;
  // The values as the dialog opened with them: a box left as shown keeps its bytes.
  serverlist::EditorValues shown_;
};

}  // namespace ravelin::desk
