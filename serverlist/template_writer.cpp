#include "serverlist/template_writer.h"

#include <locale.h>
#include <climits>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <utility>

#include "platform/file_io.h"
#include "platform/text.h"

namespace ravelin::serverlist {

namespace {

constexpr std::string_view kLoopStart = "%loopstart%";
constexpr std::string_view kLoopEnd = "%loopend%";

// Whether text at pos starts with the lower-case pattern, ignoring the case of A to Z.
bool matchesAt(std::string_view text, size_t pos, std::string_view lowerPattern) {
  if (text.size() - pos < lowerPattern.size()) return false;
  for (size_t i = 0; i < lowerPattern.size(); ++i)
    if (platform::lowerChar(text[pos + i]) != lowerPattern[i]) return false;
  return true;
}

// Replaces every occurrence of the placeholder (lower case, starting with '%') without
// regard to letter case, left to right; inserted values are not searched again for this
// placeholder.
void replaceAll(std::string& s, std::string_view placeholder, std::string_view value) {
  std::string_view text(s);
  std::string out;
  size_t copied = 0;
  bool found = false;
  for (size_t pos = text.find('%'); pos != std::string_view::npos; pos = text.find('%', pos)) {
    if (!matchesAt(text, pos, placeholder)) {
      ++pos;
      continue;
    }
    if (!found) {
      out.reserve(s.size() + value.size());
      found = true;
    }
    out.append(text.substr(copied, pos - copied)).append(value);
    pos += placeholder.size();
    copied = pos;
  }
  if (!found) return;
  out.append(text.substr(copied));
  s = std::move(out);
}

// The template cut into its loop sections as the expansion walks it: for each section the
// text in front of its "%loopstart%" and its body, then the rest after the last section.
struct Sections {
  std::vector<std::pair<std::string_view, std::string_view>> sections;
  std::string_view rest;
};

Sections splitSections(std::string_view text) {
  Sections result;
  std::string_view rest = text;
  for (;;) {
    const size_t start = rest.find(kLoopStart);
    if (start == std::string_view::npos) break;
    const size_t end = rest.find(kLoopEnd);
    if (end == std::string_view::npos || end <= start) break;
    // "%loopstart%loopend%" shares its middle '%': the body is then empty.
    const size_t bodyStart = start + kLoopStart.size();
    const std::string_view body =
        end > bodyStart ? rest.substr(bodyStart, end - bodyStart) : std::string_view();
    result.sections.emplace_back(rest.substr(0, start), body);
    rest = rest.substr(end + kLoopEnd.size());
  }
  result.rest = rest;
  return result;
}

struct GlobalValues {
  std::string serverCount;
  std::string_view fileName, date, time;
};

std::string withGlobals(std::string_view segment, const GlobalValues& g) {
  std::string s(segment);
  replaceAll(s, "%servercount%", g.serverCount);
  replaceAll(s, "%filename%", g.fileName);
  replaceAll(s, "%date%", g.date);
  replaceAll(s, "%time%", g.time);
  return s;
}

void appendServer(std::string& out, const std::string& body, const Server& server, size_t no) {
  static constexpr std::pair<std::string_view, int> kFields[] = {
      {"%ip%", fIP},       {"%port%", fPort}, {"%name%", fName},
      {"%desc%", fDesc},   {"%ping%", fPing}, {"%users%", fUsers},
      {"%files%", fFiles}, {"%pref%", fPref}, {"%hist%", fHist}};
  if (body.find('%') == std::string::npos) {
    out += body;
    return;
  }
  std::string copy = body;
  for (const auto& [placeholder, field] : kFields)
    replaceAll(copy, placeholder, server.field(field));
  replaceAll(copy, "%no%", std::to_string(no));
  out += copy;
}

}  // namespace

int countTemplateSections(std::string_view text) {
  const size_t n = splitSections(text).sections.size();
  return n > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(n);
}

std::string expandTemplate(std::string_view text, const std::vector<ServerEntry>& entries,
                           std::string_view fileName, std::string_view date, std::string_view time,
                           const std::function<void(const ServerEntry&)>& perEntry) {
  size_t checked = 0;
  for (const ServerEntry& e : entries) checked += e.checked ? 1 : 0;
  const GlobalValues globals{std::to_string(checked), fileName, date, time};

  const Sections parts = splitSections(text);
  std::string out;
  out.reserve(text.size());
  for (const auto& [prefix, rawBody] : parts.sections) {
    out += withGlobals(prefix, globals);
    const std::string body = withGlobals(rawBody, globals);
    size_t no = 0;
    // By index: the callback may let events run that change the list.
    for (size_t row = 0; row < entries.size(); ++row) {
      if (perEntry) perEntry(entries[row]);
      if (row >= entries.size() || !entries[row].checked) continue;
      appendServer(out, body, entries[row].server, ++no);
    }
  }
  out += withGlobals(parts.rest, globals);
  return out;
}

DateTimeTexts formatDateTime(const std::tm& local, const char* localeName) {
  locale_t loc = ::newlocale(LC_TIME_MASK, localeName, static_cast<locale_t>(nullptr));
  if (!loc) loc = ::newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(nullptr));
  char date[256];
  char time[256];
  const size_t nd = ::strftime_l(date, sizeof date, "%x", &local, loc);
  const size_t nt = ::strftime_l(time, sizeof time, "%X", &local, loc);
  ::freelocale(loc);
  return {std::string(date, nd), std::string(time, nt)};
}

bool writeServersToTemplate(const ServerList& list, const std::string& templateFile,
                            const std::string& fileName, runtime::ProgressBar& bar,
                            runtime::AppContext& ctx) {
  ctx.processPending();
  bool ok = false;
  try {
    const std::string bytes = platform::readWholeFile(templateFile);
    std::string_view text(bytes);
    if (const auto nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);

    size_t checked = 0;
    for (const ServerEntry& e : list.entries()) checked += e.checked ? 1 : 0;
    const long long maximum =
        static_cast<long long>(checked) * static_cast<long long>(countTemplateSections(text));
    bar.start(maximum > INT_MAX ? INT_MAX : static_cast<int>(maximum));

    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const DateTimeTexts stamp = formatDateTime(local);
    const std::string output =
        expandTemplate(text, list.entries(), std::filesystem::path(fileName).filename().string(),
                       stamp.date, stamp.time, [&](const ServerEntry& e) {
                         ctx.processPending();
                         if (e.checked) bar.stepIt();
                       });

    platform::writeFileAtomically(fileName, output);
    ctx.log.writeLog("Saved <" + std::to_string(checked) + "> servers to <" + fileName +
                     "> with template <" + templateFile + ">");
    ok = true;
  } catch (const platform::FileError&) {
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  } catch (...) {
    // Not a failure of the template or the file (an abort of the whole action): nothing
    // to show here, but the bar must not stay up.
    bar.hide();
    throw;
  }
  if (!ok) {
    ctx.message("Warning", "Error saving Template! Maybe data corrupted!", runtime::MsgIcon::Error,
                runtime::MsgButtons::Ok);
  }
  ctx.processPending();
  bar.hide();
  return ok;
}

}  // namespace ravelin::serverlist
