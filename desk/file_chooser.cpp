#include "desk/file_chooser.h"

#include "runtime/translate.h"

namespace ravelin::desk {

namespace {

// The MET, BOT and HTML readers unpack what comes gzipped or in a zip or tar archive
// (tar.gz included), so their dialogs offer such files beside the plain lists.
const FileDialogText kOpenTexts[] = {
    {N_("Open MET-File"), {N_("MET-Files (*.met *.gz *.zip *.tar *.tgz)"), N_("Any file (*)")}},
    {N_("Open BOT-File"), {N_("BOT-Files (*.bot *.gz *.zip *.tar *.tgz)"), N_("Any file (*)")}},
    {N_("Open Ravelin script file"),
     {N_("Ravelin script file (*.rvs)"), N_("Textfile (*.txt)"), N_("Any file (*)")}},
    {N_("Open HTML-File"),
     {N_("HTML-Files (*.html *.htm *.gz *.zip *.tar *.tgz)"), N_("Any file (*)")}},
    {N_("Choose Template:"), {N_("Template-File (*)")}},
};

const FileDialogText kSaveTexts[] = {
    {N_("Save the serverlist"), {N_("MET-File (*.met)")}},
    {N_("Save the serverlist"), {N_("TXT-File (*.txt)")}},
    {N_("Save the serverlist"), {N_("HTML-File (*.html)")}},
    {N_("Save the serverlist"), {N_("BOT-File (*.bot)")}},
    {N_("Save the serverlist"),
     {N_("HTML-File (*.html *.htm)"), N_("TXT-File (*.txt)"), N_("Any file (*)")}},
};

}  // namespace

const FileDialogText& fileDialogText(OpenKind kind) {
  return kOpenTexts[static_cast<size_t>(kind)];
}

const FileDialogText& fileDialogText(SaveKind kind) {
  return kSaveTexts[static_cast<size_t>(kind)];
}

std::string filterExtension(const std::string& filter) {
  const size_t open = filter.find('(');
  if (open == std::string::npos) return {};
  const size_t end = filter.find_first_of(" )", open + 1);
  const std::string pattern = filter.substr(open + 1, end == std::string::npos
                                                          ? std::string::npos
                                                          : end - open - 1);
  return pattern.size() > 2 && pattern.compare(0, 2, "*.") == 0 ? pattern.substr(1)
                                                                : std::string();
}

}  // namespace ravelin::desk
