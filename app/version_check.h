#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/app_context.h"
#include "runtime/progress_view.h"
#include "runtime/translate.h"

namespace ravelin::app {

// The numbers this program compares with the update information: its own version and the
// version of the URL list it comes with.
inline constexpr std::int32_t kOwnVersion = 13;
inline constexpr std::int32_t kOwnUrlListVersion = 13;

inline constexpr const char* kNoUpdateInfoText =
    N_("No update-info address is configured: set the key UpdateInfoURL in section [general] "
       "of ravelin.ini.");
inline constexpr const char* kDownloadFailedText =
    N_("Server doesn't respond or no connection to the internet!");
inline constexpr const char* kNothingNewerText = N_("There is no new version of Ravelin!");
inline constexpr const char* kNewerText =
    N_("There is a new version of Ravelin or new URLs for the updater!");
inline constexpr const char* kOpenWebsiteQuestion = N_("Do you want to open the Ravelin website?");

// What update.ini says, section "data": the newest program version ("version") and URL
// list version ("urlvers"), 10 when missing, and the web site to send the user to
// ("url"; empty when missing or not an http or https address).
struct UpdateInfo {
  std::int32_t version = 10;
  std::int32_t urlVersion = 10;
  std::string website;
};
UpdateInfo parseUpdateInfo(std::string_view text);

// The site that Yes opens: the file's own address, else the scheme and host of the
// update-info address.
std::string websiteOf(const UpdateInfo& info, std::string_view updateInfoUrl);

enum class VersionCheckOutcome { NotConfigured, NothingNewer, Newer, DownloadFailed, Cancelled };

struct VersionCheckResult {
  VersionCheckOutcome outcome = VersionCheckOutcome::NotConfigured;
  std::string website;  // for Newer
  // The outcome as one line of text.
  std::string line() const;
};

// The window of the check: a label (the headline), a bar from 0 to 100 and Cancel.
class VersionCheckView : public runtime::ProgressView {
 public:
  virtual void setProgress(int percent) = 0;
};

// Asks the update-info address whether a newer program or URL list exists. The file is
// fetched with the program's own HTTP client (https, relocations and the HTTP proxy of the
// settings) into memory, on the user-interface thread, which is served all the while. The
// response must begin, and every later piece arrive, within the update time-out
// (UpdTimeout); a body over kMaxBytes, a status other than 2xx, an error or Cancel end the
// download.
class VersionCheck {
 public:
  static constexpr std::size_t kMaxBytes = 64 * 1024;

  VersionCheck(runtime::AppContext& ctx, VersionCheckView& view);

  // Opens an address in the desktop's browser; the desktop's default application unless replaced.
  std::function<bool(const std::string& url)> openUrl;
  std::string tlsCaFile;  // trust anchors for https (empty: the system's)
  std::int32_t ownVersion = kOwnVersion;
  std::int32_t ownUrlListVersion = kOwnUrlListVersion;

  // The menu command: without an update-info address an info box and nothing else;
  // otherwise the check in its window inside the wait frame, then its boxes.
  VersionCheckResult run();
  // The check itself, with the window's label and bar but no box: the download and the
  // comparison.
  VersionCheckResult check();
  // The box of a result; on Yes to a newer version the web site is opened.
  void answer(const VersionCheckResult& result);

 private:
  std::optional<std::string> download(const std::string& url);

  runtime::AppContext& ctx_;
  VersionCheckView& view_;
  bool cancelled_ = false;
};

}  // namespace ravelin::app
