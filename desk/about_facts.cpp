#include "desk/about_facts.h"

#include "desk/dialog_texts.h"
#include "runtime/translate.h"

// The build names them (CMake cache variables RAVELIN_LICENSE and RAVELIN_HOMEPAGE).
#ifndef RAVELIN_LICENSE
#define RAVELIN_LICENSE ""
#endif
#ifndef RAVELIN_HOMEPAGE
#define RAVELIN_HOMEPAGE ""
#endif

namespace ravelin::desk {

AboutFacts builtAboutFacts() {
  return {RAVELIN_VERSION, RAVELIN_LICENSE, RAVELIN_HOMEPAGE};
}

std::string aboutCaption(const AboutFacts& facts) {
  return _(kAboutBoxCaption) + facts.version;
}

std::vector<AboutLine> aboutLines(const AboutFacts& facts) {
  std::vector<AboutLine> lines = {{_("Product Name:"), "Ravelin"},
                                  {_("Version:"), "v" + facts.version}};
  if (!facts.licence.empty()) lines.push_back({_("Licence:"), facts.licence});
  if (!facts.homepage.empty()) lines.push_back({_("Web site:"), facts.homepage, true});
  return lines;
}

}  // namespace ravelin::desk
