// Text files as Windows editors save them without a byte-order mark: in the system's code
// page (1252 on the Western systems the Windows suite runs on).
#include <gtest/gtest.h>

#include <string>

#include "app/settings_store.h"
#include "app/transfer_time_file.h"
#include "script/script_language.h"
#include "support/test_support.h"

namespace ravelin {
namespace {

TEST(Win32EditorText, ScriptsAndRavelinIniInTheCodePageTheTransferRecordAsBytes) {
  test::TempDir dir;
  const std::string script = dir.file("list.rvs");
  test::WriteFile(script, "LoadMET[C:\\Listen\\caf\xE9.met]\r\n");
  EXPECT_EQ(script::readScriptFile(script),
            std::vector<std::string>{"LoadMET[C:\\Listen\\caf\xC3\xA9.met]"});

  const std::string ini = dir.file("ravelin.ini");
  test::WriteFile(ini, "[general]\r\nEDPath=C:\\Users\\Jos\xE9\\eMule\r\n");
  runtime::Settings settings = app::loadSettings(ini);
  EXPECT_EQ(settings.EDPath, "C:\\Users\\Jos\xC3\xA9\\eMule");
  // Written back as UTF-8, which holds every character the code page had.
  app::storeSettings(settings, ini);
  EXPECT_EQ(app::loadSettings(ini).EDPath, settings.EDPath);
  EXPECT_NE(test::ReadFile(ini).find("EDPath=C:\\Users\\Jos\xC3\xA9\\eMule\r\n"),
            std::string::npos);

  app::TransferTimeFile record(dir.file("transfer.ini"));
  record.write("\xE9\x01\xFE");
  EXPECT_EQ(record.read(), "\xE9\x01\xFE");
}

}  // namespace
}  // namespace ravelin
