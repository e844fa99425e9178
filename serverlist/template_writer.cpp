#include "serverlist/template_writer.h"

#include <climits>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <utility>

#include "platform/calendar.h"
#include "platform/file_io.h"
#include "platform/paths.h"
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

std::string expandTemplate(std::string_view text, const ServerList& list, std::string_view fileName,
                           std::string_view date, std::string_view time,
                           const std::function<void(const ServerEntry&)>& perEntry) {
  const GlobalValues globals{std::to_string(list.checkedCount()), fileName, date, time};

  const Sections parts = splitSections(text);
  std::string out;
  out.reserve(text.size());
  for (const auto& [prefix, rawBody] : parts.sections) {
    out += withGlobals(prefix, globals);
    const std::string body = withGlobals(rawBody, globals);
    size_t no = 0;
    // By index: the callback may let events run that change the list.
    for (size_t row = 0; row < list.size(); ++row) {
      if (perEntry) perEntry(list[row]);
      if (row >= list.size() || !list[row].checked) continue;
      appendServer(out, body, list[row].server, ++no);
    }
  }
  out += withGlobals(parts.rest, globals);
  return out;
}

DateTimeTexts formatDateTime(const std::tm& local, const char* localeName) {
  return {platform::formatInLocale(local, "%x", localeName),
          platform::formatInLocale(local, "%X", localeName)};
}

SaveFormat templateSaveFormat(const std::string& templateFile) {
  SaveFormat format;
  format.errorText = kTemplateSaveErrorText;
  format.logSuffix = " with template <" + templateFile + ">";
  format.encode = [templateFile](const SaveRun& run) -> std::optional<std::string> {
    try {
      const std::string bytes = platform::readWholeFile(templateFile);
      std::string_view text(bytes);
      if (const auto nul = text.find('\0'); nul != std::string_view::npos)
        text = text.substr(0, nul);

      const long long maximum =
          static_cast<long long>(run.checked) * static_cast<long long>(countTemplateSections(text));
      run.bar.start(maximum > INT_MAX ? INT_MAX : static_cast<int>(maximum));

      const DateTimeTexts stamp = formatDateTime(platform::localCalendarTime(std::time(nullptr)));
      return expandTemplate(text, run.list,
                            platform::utf8FromPath(platform::pathFromUtf8(run.fileName).filename()),
                            stamp.date, stamp.time, [&run](const ServerEntry& e) {
                              // The pending events may change the list and move its
                              // entries: e is read before they run.
                              const bool checked = e.checked;
                              run.ctx.processPending();
                              if (checked) run.bar.stepIt();
                            });
    } catch (const platform::FileError&) {
      // The template cannot be read.
    } catch (const std::bad_alloc&) {
      // A template whose sections, repeated once per server, outgrow the memory.
    } catch (const std::length_error&) {
    }
    return std::nullopt;
  };
  return format;
}

bool writeServersToTemplate(const ServerList& list, const std::string& templateFile,
                            const std::string& fileName, runtime::ProgressBar& bar,
                            runtime::AppContext& ctx) {
  return saveServers(list, fileName, bar, ctx, templateSaveFormat(templateFile)) ==
         SaveResult::Saved;
}

}  // namespace ravelin::serverlist
