#include "update/update_command.h"

#include "app/ui_thread.h"
#include "update/update_coordinator.h"

const char* UpdateKindMarker(UpdateKind kind) {
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
void UpdateFromAllSources(ServerList& list, AppContext& ctx, UpdateView& view,
                          ProgressBar& pbLoadSave, const std::string& tlsCaFile) {
  // A fresh coordinator is the cleared started flag.
  UpdateCoordinator coordinator(list, ctx, view, pbLoadSave);
  coordinator.TlsCaFile = tlsCaFile;
  view.urlsBar().setPosition(0);
  struct Frame {
    AppContext& ctx;
    UpdateView& view;
    ~Frame() {
      ctx.state.OperationDone = false;
      view.setMainWindowEnabled(true);
      view.closeWindow();
    }
  };
  ctx.state.OperationDone = false;
  Frame frame{ctx, view};
  view.setMainWindowEnabled(false);
  view.showWindow();
  // Showing the window activates it, and the activation runs the update.
  coordinator.FormActivate();
  while (!ctx.state.OperationDone) PauseFunc(*ctx.ui, 1000);
}

}  // namespace

void RunUpdate(ServerList& list, AppContext& ctx, UpdateView& view, UpdateKind kind,
               ProgressBar& pbLoadSave, const std::string& tlsCaFile) {
  if (kind == UpdateKind::All) {
    UpdateFromAllSources(list, ctx, view, pbLoadSave, tlsCaFile);
    return;
  }
  const std::string marker = UpdateKindMarker(kind);
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
  UpdateFromAllSources(list, ctx, view, pbLoadSave, tlsCaFile);
}
