#pragma once
// The texts a user reads, in the user's language. The English texts in the sources are the
// keys of the catalogue (po/), which xgettext collects from these markers:
//   _("text")              translated here;
//   N_("text")             only marked: a constant, translated where it is shown;
//   P_("one", "many", n)   the form that fits the count n.
// Log lines, script commands, file contents and ravelin.ini keys are never translated.
#include <initializer_list>
#include <string>

#include "platform/translation.h"

#define _(text) ::ravelin::platform::translate(::ravelin::runtime::kTextDomain, text)
#define N_(text) text
#define P_(singular, plural, count)                                                       \
  ::ravelin::platform::translatePlural(::ravelin::runtime::kTextDomain, singular, plural, \
                                       static_cast<unsigned long>(count))

namespace ravelin::runtime {

inline constexpr const char* kTextDomain = "ravelin";

// Looks the program's texts up in the installed catalogues (share/locale beside the
// program's bin folder on Linux, locale beside the program on Windows), or, for a program
// run from its build tree, in the build's.
void startTranslation();

// A translated pattern filled in: "%s" takes the next value, "%2$s" the second (so a
// translation may reorder them), "%%" is a percent sign.
std::string fillIn(const char* pattern, std::initializer_list<std::string> values);

}  // namespace ravelin::runtime
