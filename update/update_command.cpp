#include "update/update_command.h"

#include "runtime/wait_frame.h"

namespace ravelin::update {

namespace {

runtime::SourceKind sourceKindOf(UpdateKind kind) {
  switch (kind) {
    case UpdateKind::HTML:
      return runtime::SourceKind::HTML;
    case UpdateKind::MET:
      return runtime::SourceKind::MET;
    case UpdateKind::BOT:
      return runtime::SourceKind::BOT;
    case UpdateKind::DNS:
    case UpdateKind::All:
      break;
  }
  return runtime::SourceKind::DNS;
}

// "Update from all sources": one run of the update window.
UpdateOutcome updateFromAllSources(serverlist::ServerList& list, runtime::AppContext& ctx,
                                   UpdateView& view, runtime::ProgressBar& loadSaveBar,
                                   const std::string& tlsCaFile) {
  // A fresh coordinator is the cleared started flag.
  UpdateCoordinator coordinator(list, ctx, view, loadSaveBar);
  coordinator.tlsCaFile = tlsCaFile;
  view.urlsBar().setPosition(0);
  // Showing the window activates it, and the activation runs the update.
  runtime::runInWaitFrame(ctx, view, [&] { coordinator.start(); });
  return coordinator.outcome();
}

}  // namespace

UpdateOutcome runUpdate(serverlist::ServerList& list, runtime::AppContext& ctx, UpdateView& view,
                        UpdateKind kind, runtime::ProgressBar& loadSaveBar,
                        const std::string& tlsCaFile) {
  if (kind == UpdateKind::All) return updateFromAllSources(list, ctx, view, loadSaveBar, tlsCaFile);
  const runtime::SourceKind only = sourceKindOf(kind);
  std::vector<runtime::UrlSource> all = ctx.settings.URLs;
  struct Restore {
    std::vector<runtime::UrlSource>& urls;
    std::vector<runtime::UrlSource>& all;
    ~Restore() { urls.swap(all); }
  } restore{ctx.settings.URLs, all};
  std::vector<runtime::UrlSource> narrowed;
  for (const runtime::UrlSource& u : all)
    if (u.kind == only) narrowed.push_back(u);
  ctx.settings.URLs = std::move(narrowed);
  return updateFromAllSources(list, ctx, view, loadSaveBar, tlsCaFile);
}

}  // namespace ravelin::update
