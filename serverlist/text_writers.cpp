#include "serverlist/text_writers.h"

#include <string_view>

// The build names it (CMake cache variable RAVELIN_HOMEPAGE); empty means none.
#ifndef RAVELIN_HOMEPAGE
#define RAVELIN_HOMEPAGE ""
#endif

namespace ravelin::serverlist {

namespace {

constexpr const char* kCrLf = "\r\n";

void txtHead(std::string& out, size_t checked) {
  const std::string rule(53, '=');
  out += rule + kCrLf;
  out += "             EDonkey2000 serverlist";
  out += kCrLf;
  out += "                  " + std::to_string(checked) + " servers" + kCrLf;
  out += rule + kCrLf;
  out += kCrLf;
  out += "\"IP\"\t\"Port\"\t\"Name\"\t\"Desc.\"\t\"Ping\"\t\"User\"\t\"Files\"\t\"Pref\"\t\"Hist\"";
  out += kCrLf;
}

void txtLine(std::string& out, const Server& s) {
  for (int f = 0; f < kServerFieldCount; ++f) {
    out += '"';
    out += s.field(f);
    out += "\"\t";
  }
  out += kCrLf;
}

void htmlHead(std::string& out, size_t checked) {
  out += "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">";
  out += kCrLf;
  out += "<html><head><title>EDonkey 2000 servers</title></head><body>";
  out += kCrLf;
  out +=
      "<P align=center><FONT face=Verdana size=4><STRONG>EDonkey2000 serverlist</STRONG></FONT>"
      "</P>";
  out += kCrLf;
  out += "<P align=center><FONT face=Verdana size=4>";
  // Ravelin has no web site of its own: a link only where the build names an address.
  constexpr std::string_view homepage = RAVELIN_HOMEPAGE;
  if (homepage.empty())
    out += "Ravelin";
  else
    out.append("<A href=\"").append(homepage).append("\">Ravelin</A>");
  out += "</FONT></P>";
  out += kCrLf;
  out += "<P align=center><FONT face=Verdana>" + std::to_string(checked) + " servers</FONT></P>";
  out += kCrLf;
  out += "<P align=left><FONT face=Verdana>";
  out += kCrLf;
  out += "<table border=\"1\">";
  out += kCrLf;
  out +=
      "  <TR><TD>IP and Port</TD><TD>Name</TD><TD>Desc.</TD><TD>Ping</TD><TD>Users</TD>"
      "<TD>Files</TD><TD>Pref</TD><TD>Hist</TD></TR>";
  out += kCrLf;
}

// The link in the form that aMule and eMule both open; the link reader finds it by its
// "|server|" marker like any other.
void htmlLine(std::string& out, const Server& s) {
  out += "<TR><TD><a href=\"ed2k://|server|";
  out += s.ip;
  out += '|';
  out += s.port;
  out += "|/\">";
  out += s.ip;
  out += ':';
  out += s.port;
  out += "</TD>";
  for (const std::string* v : {&s.name, &s.desc, &s.ping, &s.users, &s.files, &s.pref}) {
    out += "<TD>";
    out += *v;
    out += "</TD>";
  }
  out += "<TD>";
  out += s.hist;
  out += "</TD></TR>";
  out += kCrLf;
}

void htmlTail(std::string& out) {
  out += "</TABLE></FONT></P></body></html>";
  out += kCrLf;
}

using LineFn = void (*)(std::string&, const Server&);

// A table of the checked servers between a head and a tail. It cannot fail: a file that
// cannot be written reaches the caller as platform::FileError.
SaveFormat tableFormat(void (*head)(std::string&, size_t), LineFn line,
                       void (*tail)(std::string&)) {
  SaveFormat format;
  format.encode = [head, line, tail](const SaveRun& run) -> std::optional<std::string> {
    std::string out;
    run.bar.start(static_cast<int>(run.checked));
    head(out, run.checked);
    // By index: the pending events may change the list under the loop.
    for (size_t row = 0; row < run.list.size(); ++row) {
      if (!run.list[row].checked) continue;
      line(out, run.list[row].server);
      run.entryDone();
    }
    if (tail) tail(out);
    return out;
  };
  return format;
}

}  // namespace

SaveFormat txtSaveFormat() {
  return tableFormat(txtHead, txtLine, nullptr);
}

SaveFormat htmlSaveFormat() {
  return tableFormat(htmlHead, htmlLine, htmlTail);
}

bool writeServersToTXT(const ServerList& list, const std::string& fileName,
                       runtime::ProgressBar& bar, runtime::AppContext& ctx) {
  return saveServers(list, fileName, bar, ctx, txtSaveFormat()) == SaveResult::Saved;
}

bool writeServersToHTML(const ServerList& list, const std::string& fileName,
                        runtime::ProgressBar& bar, runtime::AppContext& ctx) {
  return saveServers(list, fileName, bar, ctx, htmlSaveFormat()) == SaveResult::Saved;
}

}  // namespace ravelin::serverlist
