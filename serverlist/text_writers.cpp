#include "serverlist/text_writers.h"

#include "platform/file_io.h"

namespace ravelin::serverlist {

namespace {

constexpr const char* kCrLf = "\r\n";

size_t countChecked(const ServerList& list) {
  size_t c = 0;
  for (const ServerEntry& e : list.entries()) c += e.checked ? 1 : 0;
  return c;
}

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
  out += "<P align=center><FONT face=Verdana size=4><A href=\"";
  out += kProductWebSite;
  out += "\">Ravelin</A></FONT></P>";
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

void htmlLine(std::string& out, const Server& s) {
  out += "<TR><TD><a href=\"ed2k:|server|";
  out += s.ip;
  out += '|';
  out += s.port;
  out += "|\">";
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

// Hides the bar however the writer ends.
struct HideAtEnd {
  runtime::ProgressBar& bar;
  ~HideAtEnd() { bar.hide(); }
};

using LineFn = void (*)(std::string&, const Server&);

void writeTable(const ServerList& list, const std::string& fileName, runtime::ProgressBar& bar,
                runtime::AppContext& ctx, void (*head)(std::string&, size_t), LineFn line,
                void (*tail)(std::string&)) {
  ctx.processPending();
  const size_t checked = countChecked(list);
  std::string out;
  {
    HideAtEnd hide{bar};
    bar.start(static_cast<int>(checked));
    head(out, checked);
    // By index: the pending events may change the list under the loop.
    for (size_t row = 0; row < list.size(); ++row) {
      if (!list[row].checked) continue;
      line(out, list[row].server);
      bar.stepIt();
      ctx.processPending();
    }
    if (tail) tail(out);
    ctx.processPending();
  }
  platform::writeFileAtomically(fileName, out);
  ctx.log.writeLog("Saved <" + std::to_string(checked) + "> servers to <" + fileName + ">");
}

}  // namespace

void writeServersToTXT(const ServerList& list, const std::string& fileName,
                       runtime::ProgressBar& bar, runtime::AppContext& ctx) {
  writeTable(list, fileName, bar, ctx, txtHead, txtLine, nullptr);
}

void writeServersToHTML(const ServerList& list, const std::string& fileName,
                        runtime::ProgressBar& bar, runtime::AppContext& ctx) {
  writeTable(list, fileName, bar, ctx, htmlHead, htmlLine, htmlTail);
}

}  // namespace ravelin::serverlist
