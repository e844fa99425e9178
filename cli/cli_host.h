#pragma once
#include "cli/terminal.h"
#include "script/script_host.h"

namespace ravelin::client {
class TransferTimeStore;
}
namespace ravelin::runtime {
struct AppContext;
}
namespace ravelin::serverlist {
class ServerList;
}

namespace ravelin::cli {

// The script host of ravelin-cli. There are no windows: HideWindows and the restore at
// the end change nothing on screen, the countdown counts on the terminal and so does the
// transfer to the running client, whose time is kept in transferTime.
class CliHost : public script::ScriptHost {
 public:
  CliHost(serverlist::ServerList& list, runtime::AppContext& ctx, Terminal& term,
          client::TransferTimeStore& transferTime);

  runtime::ProgressBar& loadSaveBar() override { return bar_; }
  update::UpdateOutcome update(update::UpdateKind kind) override;
  verify::VerifyOutcome verify(bool all) override;
  bool closeCountdown() override;
  void hideWindows() override {}
  void restoreWindows() override {}
  void saveRunningEDonkey() override;
  void sendToEDonkeyConsole(const std::string& text) override;
  void startEDonkey() override;
  void startFile(const std::string& path) override;
  // On the --verbose channel.
  void note(const std::string& text) override { term_.note(text); }

 private:
  serverlist::ServerList& list_;
  runtime::AppContext& ctx_;
  Terminal& term_;
  TerminalProgressBar bar_;
  client::TransferTimeStore& transferTime_;
};

}  // namespace ravelin::cli
