#pragma once
// What the about box tells, on every toolkit.
#include <string>
#include <vector>

namespace ravelin::desk {

// The version of the build and, when the build names them, the licence and the project's
// web address (empty: that line is left out).
struct AboutFacts {
  std::string version;
  std::string licence;
  std::string homepage;
};
// The facts this program was built with.
AboutFacts builtAboutFacts();

// A line of the about box: its caption (translated) and value; the web address is a link.
struct AboutLine {
  std::string caption;
  std::string value;
  bool link = false;
};
// The about box's caption ("About Ravelin v<version>") and its lines top to bottom; the
// first is the product's name, shown large.
std::string aboutCaption(const AboutFacts& facts);
std::vector<AboutLine> aboutLines(const AboutFacts& facts);

}  // namespace ravelin::desk
