#pragma once
#include "cli/terminal.h"
#include "client/client_bridge.h"
#include "script/script_host.h"

struct AppContext;
class ServerList;

namespace cli {

// The script host of ravelin-cli. There are no windows: HideWindows and the restore at
// the end change nothing on screen, the countdown counts on the terminal, and the
// running client can only be told apart from a client that does not run.
class CliHost : public ScriptHost {
 public:
  CliHost(ServerList& list, AppContext& ctx, Terminal& term);

  ProgressBar& loadSaveBar() override { return bar_; }
  void update(UpdateSource source) override;
  void verify(bool all) override;
  bool closeCountdown() override;
  void hideWindows() override {}
  void restoreWindows() override {}
  void saveRunningEDonkey() override;
  void sendToEDonkeyConsole(const std::string& text) override;
  void startEDonkey() override;
  void startFile(const std::string& path) override;

 private:
  ServerList& list_;
  AppContext& ctx_;
  Terminal& term_;
  TerminalProgressBar bar_;
  client::WindowlessClientBridge bridge_;
};

}  // namespace cli
