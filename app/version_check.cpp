#include "app/version_check.h"

#include "app/ini_file.h"
#include "net/http_client.h"
#include "net/http_proxy.h"
#include "net/http_url.h"
#include "platform/event_loop.h"
#include "platform/process.h"
#include "platform/text.h"
#include "runtime/translate.h"
#include "runtime/wait_frame.h"

namespace ravelin::app {

namespace {

// How long the loop of the download waits for its sockets before the user interface is
// served again.
constexpr std::uint32_t kServeStepMs = 20;

bool isWebAddress(std::string_view url) {
  const std::string lower = platform::lowerAscii(url.substr(0, 8));
  if (!lower.starts_with("http://") && !lower.starts_with("https://")) return false;
  // Handed to another program as one argument: no blanks or control characters.
  for (char c : url)
    if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F) return false;
  return true;
}

}  // namespace

UpdateInfo parseUpdateInfo(std::string_view text) {
  const IniFile ini = IniFile::fromText(text);
  UpdateInfo info;
  info.version = ini.readInteger("data", "version", info.version);
  info.urlVersion = ini.readInteger("data", "urlvers", info.urlVersion);
  const std::string url = platform::trimText(ini.readString("data", "url", ""));
  if (isWebAddress(url)) info.website = url;
  return info;
}

std::string websiteOf(const UpdateInfo& info, std::string_view updateInfoUrl) {
  if (!info.website.empty()) return info.website;
  const net::http::UrlParts u = net::http::splitUrl(updateInfoUrl);
  const std::string scheme = u.scheme.empty() ? "http" : platform::lowerAscii(u.scheme);
  return scheme + "://" + u.host + (u.port.empty() ? "" : ":" + u.port) + "/";
}

std::string VersionCheckResult::line() const {
  switch (outcome) {
    case VersionCheckOutcome::NotConfigured:
      return _(kNoUpdateInfoText);
    case VersionCheckOutcome::NothingNewer:
      return _(kNothingNewerText);
    case VersionCheckOutcome::Newer:
      return std::string(_(kNewerText)) + runtime::fillIn(_(" Website: %s"), {website});
    case VersionCheckOutcome::DownloadFailed:
      return _(kDownloadFailedText);
    case VersionCheckOutcome::Cancelled:
      return _("The check for updates was cancelled.");
  }
  return {};
}

VersionCheck::VersionCheck(runtime::AppContext& ctx, VersionCheckView& view)
    : ctx_(ctx), view_(view) {
  openUrl = [](const std::string& url) { return platform::openWithDefaultApplication(url); };
}

VersionCheckResult VersionCheck::run() {
  if (ctx_.settings.UpdateInfoURL.empty()) {
    VersionCheckResult result;
    answer(result);
    return result;
  }
  VersionCheckResult result;
  runtime::runInWaitFrame(ctx_, view_, [&] {
    result = check();
    answer(result);
    ctx_.state.operationDone = true;
  });
  return result;
}

VersionCheckResult VersionCheck::check() {
  VersionCheckResult result;
  const std::string url = ctx_.settings.UpdateInfoURL;
  if (url.empty()) return result;
  cancelled_ = false;
  view_.setCancelHandler([this] { cancelled_ = true; });
  struct Detach {
    VersionCheckView& view;
    ~Detach() { view.setCancelHandler(nullptr); }
  } detach{view_};

  view_.setHeadline(runtime::fillIn(_("Connecting to %s..."), {net::http::splitUrl(url).host}));
  view_.setProgress(40);
  if (view_.keepsDisplayPauses())
    runtime::waitUntil(*ctx_.ui, *ctx_.clock, 1000, [this] { return cancelled_; });
  view_.setProgress(60);
  const std::optional<std::string> body = cancelled_ ? std::nullopt : download(url);
  // A program that is closing stops the download as Cancel does, and says nothing either.
  if (cancelled_ || ctx_.ui->terminating()) {
    result.outcome = VersionCheckOutcome::Cancelled;
    return result;
  }
  if (!body) {
    result.outcome = VersionCheckOutcome::DownloadFailed;
    return result;
  }
  view_.setProgress(80);
  view_.setHeadline(_("Checking for new version..."));
  const UpdateInfo info = parseUpdateInfo(*body);
  if (ownVersion >= info.version && ownUrlListVersion >= info.urlVersion) {
    result.outcome = VersionCheckOutcome::NothingNewer;
  } else {
    result.outcome = VersionCheckOutcome::Newer;
    result.website = websiteOf(info, url);
  }
  return result;
}

void VersionCheck::answer(const VersionCheckResult& result) {
  using runtime::MsgButtons;
  using runtime::MsgIcon;
  switch (result.outcome) {
    case VersionCheckOutcome::NotConfigured:
      ctx_.message(N_("Info"), kNoUpdateInfoText, MsgIcon::Information, MsgButtons::Ok);
      break;
    case VersionCheckOutcome::DownloadFailed:
      ctx_.message(N_("Warning"), kDownloadFailedText, MsgIcon::Error, MsgButtons::Ok);
      break;
    case VersionCheckOutcome::NothingNewer:
      ctx_.message(N_("Info"), kNothingNewerText, MsgIcon::Information, MsgButtons::Ok);
      break;
    case VersionCheckOutcome::Newer:
      if (ctx_.message(N_("Info"), std::string(kNewerText) + "\r\n" + kOpenWebsiteQuestion,
                       MsgIcon::Information, MsgButtons::YesNo,
                       runtime::MsgResult::No) != runtime::MsgResult::No)
        openUrl(result.website);
      break;
    case VersionCheckOutcome::Cancelled:
      break;
  }
}

std::optional<std::string> VersionCheck::download(const std::string& url) {
  platform::EventLoop loop;
  net::HttpClient http(loop);
  http.url = url;
  http.agent = "Ravelin/" RAVELIN_VERSION;
  http.tlsCaFile = tlsCaFile;
  std::string body;
  bool done = false, ok = false, arrived = false, tooLong = false;
  http.onHeaderData = [&](net::HttpClient&) { arrived = true; };
  http.onDocData = [&](net::HttpClient&, const char* data, int len) {
    arrived = true;
    if (body.size() + static_cast<std::size_t>(len) > kMaxBytes)
      tooLong = true;
    else
      body.append(data, static_cast<std::size_t>(len));
  };
  http.onRequestDone = [&](net::HttpClient& c, net::HttpRequest, std::uint16_t error) {
    done = true;
    ok = error == 0 && c.statusCode() >= 200 && c.statusCode() < 300;
  };
  try {
    net::useProxyRules(http, url, ctx_.settings.ProxyAddr, ctx_.settings.ProxyPort,
                       net::processProxyEnvironment());
    http.startGet();
  } catch (const std::exception&) {
    return std::nullopt;
  }
  const std::uint32_t timeoutMs = static_cast<std::uint32_t>(ctx_.settings.UpdTimeout) * 1000;
  std::uint32_t lastArrival = ctx_.clock->ticks();
  bool aborted = false;
  while (!done) {
    if (arrived) {
      arrived = false;
      lastArrival = ctx_.clock->ticks();
    }
    if (!aborted && (cancelled_ || tooLong || ctx_.ui->terminating() ||
                     ctx_.clock->ticks() - lastArrival >= timeoutMs)) {
      aborted = true;
      http.abort();
    }
    loop.waitAndProcess(kServeStepMs);
    ctx_.processPending();
  }
  if (aborted || !ok) return std::nullopt;
  return body;
}

}  // namespace ravelin::app
