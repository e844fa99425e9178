#pragma once
#include <ctime>
#include <functional>
#include <string>
#include <string_view>

#include "runtime/app_context.h"
#include "runtime/progress_bar.h"
#include "runtime/translate.h"
#include "serverlist/save_flow.h"
#include "serverlist/server_list.h"

namespace ravelin::serverlist {

// Template files: a text whose global placeholders ("%servercount%", "%filename%",
// "%date%", "%time%") are replaced everywhere, and whose loop sections, between
// "%loopstart%" and "%loopend%", are repeated once per checked server with the per-server
// placeholders ("%ip%", "%port%", "%name%", "%desc%", "%ping%", "%users%", "%files%",
// "%pref%", "%hist%", "%no%") replaced. Placeholders match without regard to letter case,
// the loop markers only in lower case.

// The number of loop sections: how often a "%loopstart%" comes before the next
// "%loopend%", each section ending after its "%loopend%".
int countTemplateSections(std::string_view text);

// Expands a template for the checked entries ("%servercount%" is their number). The loop sections
// are found in the template as written; replacement values never open or close a section. Global
// placeholders are replaced first, in the order above, then within each copy of a section body the
// per-server ones in the order above, so a value that holds a later placeholder is replaced
// again. perEntry, when given, is called for every entry (checked or not) of every section
// before it is handled.
std::string expandTemplate(std::string_view text, const ServerList& list, std::string_view fileName,
                           std::string_view date, std::string_view time,
                           const std::function<void(const ServerEntry&)>& perEntry = {});

// The date in the short date format and the time in the long time format of the named
// locale ("" is the user's, from the environment; "C" when that cannot be loaded).
struct DateTimeTexts {
  std::string date, time;
};
DateTimeTexts formatDateTime(const std::tm& local, const char* localeName = "");

inline constexpr const char* kTemplateSaveErrorText =
    N_("Error saving Template! Maybe data corrupted!");

// The template format of the save flow: the text of templateFile expanded for the target's
// name, the current date and time. The bar runs to the checked entries times the template's
// loop sections. A template that cannot be read, or whose expansion outgrows the memory,
// fails with the "Error saving Template!" box; the log line ends in " with template <...>".
SaveFormat templateSaveFormat(const std::string& templateFile);

// Reads the template file (its text ends at the first NUL byte), expands it for the
// checked servers and writes the result to fileName in one step. The bar runs from 0 to
// C times the number of loop sections. On success logs "Saved <C> servers to <fileName>
// with template <templateFile>" and returns true. Any failure shows "Error saving
// Template! Maybe data corrupted!" (unless a script runs), leaves the output file as it
// was, logs nothing and returns false.
bool writeServersToTemplate(const ServerList& list, const std::string& templateFile,
                            const std::string& fileName, runtime::ProgressBar& bar,
                            runtime::AppContext& ctx);

}  // namespace ravelin::serverlist
