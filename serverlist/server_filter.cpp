#include "serverlist/server_filter.h"

#include <cstdint>

#include "platform/text.h"
#include "runtime/translate.h"
#include "serverlist/batch_scope.h"
#include "serverlist/ip_port.h"
#include "serverlist/text_compare.h"

namespace ravelin::serverlist {

int filterPropertyIndex(std::string_view scriptName) {
  for (int i = 0; i < kFilterPropertyCount; ++i) {
    if (scriptName == kFilterProperties[static_cast<size_t>(i)].scriptName) return i;
  }
  return -1;
}

int filterOperatorIndex(std::string_view scriptOperator) {
  for (int i = 0; i < kFilterOperatorCount; ++i) {
    if (scriptOperator == kFilterOperators[static_cast<size_t>(i)].scriptOperator) return i;
  }
  return -1;
}

FilterExpression parseFilterExpression(std::string_view text) {
  static constexpr struct {
    std::string_view text;
    FilterOp op;
  } kSearchOrder[] = {{"=", foEqual}, {"<>", foNotEqual}, {"<", foLess}, {">", foGreater}};
  FilterExpression f;
  for (const auto& candidate : kSearchOrder) {
    const size_t pos = text.find(candidate.text);
    if (pos == std::string_view::npos) continue;
    const std::string_view name = text.substr(0, pos);
    const std::string_view after = text.substr(pos + candidate.text.size());
    f.op = candidate.op;
    f.property = filterPropertyIndex(name);
    f.value = std::string(after.substr(0, after.find(']')));
    constexpr std::string_view kOperatorChars = "<>=";
    f.operatorDoubled = (!name.empty() && kOperatorChars.find(name.back()) != name.npos) ||
                        (!after.empty() && kOperatorChars.find(after.front()) != after.npos);
    break;
  }
  return f;
}

bool like(std::string_view text, std::string_view pattern) {
  const size_t tn = text.size(), pn = pattern.size();
  size_t t = 0, p = 0;
  // s: pattern position after the last "*"; r: text position where the next try of the
  // pattern after that star resumes.
  size_t s = 0, r = 0;
  bool haveS = false, haveR = false;
  // "?" right after a star: each consumes one character before the next literal is
  // searched. They are counted so that a retry starts one character after the previous
  // try instead of after its literal, which would skip possible matches ("*?c" on "acc").
  size_t questions = 0;
  enum { kMain, kStar } step = kMain;
  for (;;) {
    if (step == kMain) {
      if (p == pn) {
        if (t == tn) return true;
        if (!(haveS && haveR)) return false;
        t = r;
        p = s;
        step = kStar;
        questions = 0;
        continue;
      }
      const char pc = pattern[p];
      if (pc == '*') {
        s = ++p;
        haveS = true;
        step = kStar;
        questions = 0;
        continue;
      }
      if (t == tn) return false;
      if (pc == '?' || text[t] == pc) {
        ++t;
        ++p;
        continue;
      }
      if (!(haveS && haveR)) return false;
      t = r;
      p = s;
      step = kStar;
      questions = 0;
      continue;
    }
    // Star step.
    if (p == pn) return true;
    const char pc = pattern[p];
    if (pc == '*') {
      s = ++p;
      questions = 0;
      continue;
    }
    if (pc == '?') {
      if (t == tn) return false;
      ++t;
      ++p;
      ++questions;
      continue;
    }
    while (t < tn && text[t] != pc) ++t;
    if (t == tn) return false;
    ++t;
    r = t - questions;
    haveR = true;
    ++p;
    step = kMain;
  }
}

namespace {
int textResult(const std::string& field, const std::string& value) {
  return like(field, value) ? 0 : platform::compareTextNoCase(field, value);
}
}  // namespace

bool compareField(int op, const std::string& field, const std::string& value, bool numeric,
                  bool negCompare) {
  int d;
  if (numeric) {
    const auto f = platform::parseInt32(field);
    const auto v = platform::parseInt32(value);
    if (f && v) {
      const std::int64_t diff = std::int64_t{*f} - std::int64_t{*v};
      d = diff < 0 ? -1 : (diff > 0 ? 1 : 0);
    } else {
      d = textResult(field, value);
      if (negCompare) d = -d;
    }
  } else {
    d = textResult(field, value);
  }
  switch (op) {
    case foGreater:
      return d > 0;
    case foLess:
      return d < 0;
    case foEqual:
      return d == 0;
    case foNotEqual:
      return d != 0;
    default:
      return false;
  }
}

void filterServers(ServerList& list, int property, int op, const std::string& value) {
  if (property < 0 || property >= kFilterPropertyCount) return;
  if (op < 0 || op >= kFilterOperatorCount) return;
  const bool numeric = kFilterProperties[static_cast<size_t>(property)].numeric;
  const bool negCompare = list.negCompare;
  BatchScope batch(list);
  for (size_t row = 0; row < list.size(); ++row) {
    const ServerEntry& e = list[row];
    if (!e.checked) continue;
    list.setChecked(row, compareField(op, e.server.field(property), value, numeric, negCompare));
  }
}

bool filterFromWindow(ServerList& list, int property, int op, const std::string& value,
                      runtime::AppContext& ctx) {
  filterServers(list, property, op, value);
  ctx.log.writeLog("Serverlist successfully filtered");
  return ctx.message(N_("One more filter"),
                     N_("Filter successful! Do you want to set one more filter?"),
                     runtime::MsgIcon::Question, runtime::MsgButtons::YesNo,
                     runtime::MsgResult::No) == runtime::MsgResult::Yes;
}

}  // namespace ravelin::serverlist
