#include "update/update_command.h"

#include "runtime/ui_thread.h"
#include "update/update_coordinator.h"

namespace ravelin::update {

const char* updateKindMarker(UpdateKind kind) {
  switch (kind) {
    case UpdateKind::HTML:
      return "HTM|";
    case UpdateKind::MET:
      return "MET|";
    case UpdateKind::BOT:
      return "BOT|";
    case UpdateKind::DNS:
      return "DNS|";
    case UpdateKind::All:
      break;
  }
  return "";
}

namespace {

// "Update from all sources": the wait frame around one run of the update window.
void UpdateFromAllSources(serverlist::ServerList& list, runtime::AppContext& ctx, UpdateView& view,
                          runtime::ProgressBar& loadSaveBar, const std::string& tlsCaFile) {
  // A fresh coordinator is the cleared started flag.
  UpdateCoordinator coordinator(list, ctx, view, loadSaveBar);
  coordinator.tlsCaFile = tlsCaFile;
  view.urlsBar().setPosition(0);
  struct Frame {
    runtime::AppContext& ctx;
    UpdateView& view;
    ~Frame() {
      ctx.state.operationDone = false;
      view.setMainWindowEnabled(true);
      view.closeWindow();
    }
  };
  ctx.state.operationDone = false;
  Frame frame{ctx, view};
  view.setMainWindowEnabled(false);
  view.showWindow();
  // Showing the window activates it, and the activation runs the update.
  coordinator.start();
  while (!ctx.state.operationDone) runtime::pauseFunc(*ctx.ui, 1000);
}

}  // namespace

void runUpdate(serverlist::ServerList& list, runtime::AppContext& ctx, UpdateView& view,
               UpdateKind kind, runtime::ProgressBar& loadSaveBar, const std::string& tlsCaFile) {
  if (kind == UpdateKind::All) {
    UpdateFromAllSources(list, ctx, view, loadSaveBar, tlsCaFile);
    return;
  }
  const std::string marker = updateKindMarker(kind);
  std::vector<std::string> copy = ctx.settings.URLs;
  struct Restore {
    std::vector<std::string>& urls;
    std::vector<std::string>& copy;
    ~Restore() { urls.swap(copy); }
  } restore{ctx.settings.URLs, copy};
  std::vector<std::string> narrowed;
  for (const std::string& u : copy)
    if (u.compare(0, 4, marker) == 0 && u.size() >= 4) narrowed.push_back(u);
  ctx.settings.URLs = std::move(narrowed);
  UpdateFromAllSources(list, ctx, view, loadSaveBar, tlsCaFile);
}

}  // namespace ravelin::update
