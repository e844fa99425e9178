#include <gtest/gtest.h>

#include <cstdio>

// Nothing in the environment but PATH: no DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM.
TEST(CommandLine, HelpAndVersionNeedNoDisplay) {
  for (const std::string option : {"--help", "--version"}) {
    const std::string command =
        "env -i PATH=\"$PATH\" " RAVELIN_BINARY_DIR "/gui/ravelin " + option;
    FILE* pipe = popen(command.c_str(), "r");
    std::string out(4096, '\0');
    out.resize(std::fread(out.data(), 1, out.size(), pipe));
    EXPECT_EQ(pclose(pipe), 0) << option;  // exited with 0
    EXPECT_EQ(out.rfind(option == "--help" ? "Usage: ravelin [--ini FILE] [SCRIPT]\n"
                                           : "ravelin " RAVELIN_VERSION "\n",
                        0),
              0u)
        << out;
  }
}
