// The association of script files in the registry of the test prefix: written, read back,
// and no longer this program's once it has moved or .rvs names another type.
#include "app/registry_association.h"

#include <gtest/gtest.h>

#include "platform/registry.h"

using namespace ravelin;
using namespace ravelin::app;

TEST(RegistryScriptAssociation, WrittenReadBackAndLostByAMove) {
  const std::string root = "Software\\RavelinTest", classes = root + "\\Classes";
  platform::deleteCurrentUserKey(root);
  const RegistryScriptAssociation here("C:\\Users\\A B\\Ravelin\\ravelin.exe", classes);
  const RegistryScriptAssociation moved("D:\\Tools\\ravelin.exe", classes);
  EXPECT_FALSE(here.isRegistered());
  here.registerScripts();
  EXPECT_TRUE(here.isRegistered());
  EXPECT_FALSE(moved.isRegistered());
  const auto value = [&](const std::string& key) {
    return platform::currentUserString(classes + "\\" + key, "").value_or("(none)");
  };
  EXPECT_EQ(value(".rvs") + "|" + value("rvsfile") + "|" + value("rvsfile\\DefaultIcon"),
            "rvsfile|Ravelin script|C:\\Users\\A B\\Ravelin\\ravelin.exe,0");
  EXPECT_EQ(value("rvsfile\\shell\\open\\command"),
            "\"C:\\Users\\A B\\Ravelin\\ravelin.exe\" \"%1\"");
  EXPECT_EQ(value("rvsfile\\shell\\edit") + "|" + value("rvsfile\\shell\\edit\\command"),
            "&Edit|\"C:\\Users\\A B\\Ravelin\\ravelin.exe\" --edit \"%1\"");
  EXPECT_EQ(value("rvsfile\\shell\\run") + "|" + value("rvsfile\\shell\\run\\command"),
            "&Run|\"C:\\Users\\A B\\Ravelin\\ravelin.exe\" --run \"%1\"");
  // An association of an older program without the Edit and Run verbs is written again.
  platform::deleteCurrentUserKey(classes + "\\rvsfile\\shell\\run");
  EXPECT_FALSE(here.isRegistered());
  here.registerScripts();
  EXPECT_TRUE(here.isRegistered());

  moved.registerScripts();
  EXPECT_TRUE(moved.isRegistered());
  EXPECT_FALSE(here.isRegistered());
  // .rvs taken by another program's type: not ours any more.
  platform::setCurrentUserString(classes + "\\.rvs", "", "txtfile");
  EXPECT_FALSE(moved.isRegistered());
  platform::deleteCurrentUserKey(root);
  EXPECT_FALSE(platform::currentUserString(classes + "\\.rvs", ""));
}
