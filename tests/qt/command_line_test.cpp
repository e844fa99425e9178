#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cstdio>
#include <string>

#include "app/desktop_files.h"
#include "app/file_association.h"
#include "qt/app_identity.h"

// Nothing in the environment but PATH: no DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM.
TEST(CommandLine, HelpAndVersionNeedNoDisplay) {
  for (const std::string option : {"--help", "--version"}) {
    const std::string command =
        "env -i PATH=\"$PATH\" " RAVELIN_BINARY_DIR "/qt/ravelin " + option;
    FILE* pipe = popen(command.c_str(), "r");
    std::string out(4096, '\0');
    out.resize(std::fread(out.data(), 1, out.size(), pipe));
    EXPECT_EQ(pclose(pipe), 0) << option;  // exited with 0
    EXPECT_EQ(
        out.rfind(option == "--help"
                      ? "Usage: ravelin [--ini FILE] [SCRIPT | --edit SCRIPT | --run SCRIPT]\n"
                      : "ravelin " RAVELIN_VERSION "\n",
                  0),
        0u)
        << out;
  }
}

// Docks match the window to the desktop entry by the X11 window class (the application
// name, which the entry names in StartupWMClass) or by the Wayland application id (the
// entry's file name).
TEST(CommandLine, TheWindowIsNamedAsItsDesktopEntry) {
  ravelin::qt::setApplicationIdentity();
  const std::string entry = ravelin::app::kDesktopEntryText;
  EXPECT_NE(
      entry.find("\nStartupWMClass=" + QCoreApplication::applicationName().toStdString() + "\n"),
      std::string::npos);
  EXPECT_EQ(QGuiApplication::desktopFileName().toStdString() + ".desktop",
            ravelin::app::kDesktopEntryName);
}
