#include "app/registry_association.h"

#include <algorithm>

#include "platform/registry.h"
#include "runtime/translate.h"

namespace ravelin::app {

namespace {

constexpr const char* kDefaultValue = "";

// The verbs of a script file in Explorer's menu: the shell's key, the caption (none: the
// shell's own "Open"), and the program's option.
struct Verb {
  const char* key;
  const char* caption;
  const char* option;
};
constexpr Verb kVerbs[] = {
    {"open", nullptr, ""}, {"edit", N_("&Edit"), "--edit"}, {"run", N_("&Run"), "--run"}};

}  // namespace

std::string RegistryScriptAssociation::verbCommand(const std::string& option) const {
  return "\"" + executable_ + "\" " + (option.empty() ? "" : option + " ") + "\"%1\"";
}

bool RegistryScriptAssociation::isRegistered() const {
  const std::string type = classesKey_ + "\\" + kScriptTypeKey;
  return platform::currentUserString(classesKey_ + "\\" + kScriptExtensionKey, kDefaultValue) ==
             kScriptTypeKey &&
         std::all_of(std::begin(kVerbs), std::end(kVerbs), [&](const Verb& verb) {
           return platform::currentUserString(type + "\\shell\\" + verb.key + "\\command",
                                              kDefaultValue) == verbCommand(verb.option);
         });
}

void RegistryScriptAssociation::registerScripts() const {
  const std::string type = classesKey_ + "\\" + kScriptTypeKey;
  platform::setCurrentUserString(classesKey_ + "\\" + kScriptExtensionKey, kDefaultValue,
                                 kScriptTypeKey);
  // The name Explorer shows in its Type column, as the MIME package names the type.
  platform::setCurrentUserString(type, kDefaultValue, "Ravelin script");
  platform::setCurrentUserString(type + "\\DefaultIcon", kDefaultValue, executable_ + ",0");
  for (const Verb& verb : kVerbs) {
    const std::string key = type + "\\shell\\" + verb.key;
    if (verb.caption) platform::setCurrentUserString(key, kDefaultValue, _(verb.caption));
    platform::setCurrentUserString(key + "\\command", kDefaultValue, verbCommand(verb.option));
  }
  platform::announceAssociationChange();
}

}  // namespace ravelin::app
