#include "app/registry_association.h"

#include "platform/registry.h"

namespace ravelin::app {

namespace {

constexpr const char* kDefaultValue = "";

}  // namespace

std::string RegistryScriptAssociation::openCommand() const {
  return "\"" + executable_ + "\" \"%1\"";
}

bool RegistryScriptAssociation::isRegistered() const {
  const std::string type = classesKey_ + "\\" + kScriptTypeKey;
  return platform::currentUserString(classesKey_ + "\\" + kScriptExtensionKey, kDefaultValue) ==
             kScriptTypeKey &&
         platform::currentUserString(type + "\\shell\\open\\command", kDefaultValue) ==
             openCommand();
}

void RegistryScriptAssociation::registerScripts() const {
  const std::string type = classesKey_ + "\\" + kScriptTypeKey;
  platform::setCurrentUserString(classesKey_ + "\\" + kScriptExtensionKey, kDefaultValue,
                                 kScriptTypeKey);
  // The name Explorer shows in its Type column, as the MIME package names the type.
  platform::setCurrentUserString(type, kDefaultValue, "Ravelin script");
  platform::setCurrentUserString(type + "\\DefaultIcon", kDefaultValue, executable_ + ",0");
  platform::setCurrentUserString(type + "\\shell\\open\\command", kDefaultValue, openCommand());
  platform::announceAssociationChange();
}

}  // namespace ravelin::app
