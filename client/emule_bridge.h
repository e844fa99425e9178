#pragma once
// The client on Windows: eMule, which takes ed2k links from other programs through its
// main window.
#include <cstdint>
#include <optional>

#include "client/client_bridge.h"
#include "platform/client_window.h"

namespace ravelin::client {

// eMule's main window is the top-level window that answers this registered message with
// the message's own value; it takes a link as a copy of UTF-16 text marked kEmuleLinkKind.
inline constexpr const char* kEmuleWindowMessage = "EMULE-{4EADC6FC-516F-4b7c-9066-97D893649570}";
inline constexpr std::uintptr_t kEmuleLinkKind = 12000;

// One server link per server to eMule's window. The running check is the window search
// itself: no window answers when eMule is not running on this desktop.
class EmuleBridge : public ClientBridge {
 public:
  // How long one window may take to answer the search, and eMule to take one link; a
  // window that takes longer counts as no answer, a link as a failed hand-over.
  struct Timeouts {
    std::uint32_t answerMs = 1000;
    std::uint32_t sendMs = 5000;
  };

  EmuleBridge() = default;
  explicit EmuleBridge(Timeouts timeouts) : timeouts_(timeouts) {}
  std::string route() const override;
  void open(runtime::AppContext& ctx) override;
  AddResult addServer(const std::string& ip, const std::string& port) override;
  void close() override { window_.reset(); }

 private:
  Timeouts timeouts_;
  std::optional<platform::ClientWindow> window_;
};

}  // namespace ravelin::client
