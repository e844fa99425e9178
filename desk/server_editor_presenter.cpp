#include "desk/server_editor_presenter.h"

#include "serverlist/shown_text.h"

namespace ravelin::desk {

using namespace serverlist;

namespace {

const std::string& valueOf(const EditorValues& v, EditorBox box) {
  switch (box) {
    case EditorBox::IP:
      return v.ip;
    case EditorBox::Port:
      return v.port;
    case EditorBox::Name:
      return v.name;
    case EditorBox::Desc:
      return v.desc;
    case EditorBox::Ping:
      return v.ping;
    case EditorBox::Users:
      return v.users;
    case EditorBox::Files:
      return v.files;
    case EditorBox::History:
      break;
  }
  return v.hist;
}

std::string& valueOf(EditorValues& v, EditorBox box) {
  return const_cast<std::string&>(valueOf(static_cast<const EditorValues&>(v), box));
}

}  // namespace

void ServerEditorPresenter::fill(const EditorOpening& opening) {
  view_.showTexts(_(opening.caption), _(opening.info));
  shown_ = opening.values;
  for (EditorBox box : kEditorBoxes) view_.setBoxText(box, shownText(valueOf(shown_, box)));
  const int pref = prefItemIndex(shown_.pref);
  view_.setPreference(pref < 0 ? 0 : pref);
  view_.focusBox(EditorBox::IP);
}

void ServerEditorPresenter::prepareAdd() {
  mode_ = EditorMode::Add;
  fill(openEditorForAdd());
}

bool ServerEditorPresenter::prepareEdit() {
  const std::optional<size_t> row = list_.selected();
  if (!row) return false;
  mode_ = EditorMode::Edit;
  fill(openEditorForEdit(list_[*row].server));
  return true;
}

EditorValues ServerEditorPresenter::values() const {
  EditorValues v;
  for (EditorBox box : kEditorBoxes) {
    // A box left as it was shown keeps its original bytes (a Latin-1 name stays Latin-1).
    const std::string text = view_.boxText(box);
    const std::string& original = valueOf(shown_, box);
    valueOf(v, box) = text == shownText(original) ? original : text;
  }
  const int pref = view_.preference();
  if (pref >= 0 && static_cast<size_t>(pref) < kPrefItems.size())
    v.pref = kPrefItems[static_cast<size_t>(pref)];
  return v;
}

void ServerEditorPresenter::ok() {
  const EditorResult result = editorOk(list_, mode_, values(), ctx_);
  if (result.focusIP()) view_.focusBox(EditorBox::IP);
  if (result.focusPort()) view_.focusBox(EditorBox::Port);
  if (result.closes()) view_.accept();
}

bool ServerEditorPresenter::boxTakes(EditorBox box, const std::string& typed) {
  for (char c : typed)
    if (!editorBoxAcceptsKey(box, c)) return false;
  return true;
}

}  // namespace ravelin::desk
