#include "cli/console_line.h"

#include <gtest/gtest.h>

TEST(ConsoleLine, WithoutEscapesBlanksCoverTheLongerLineBefore) {
  std::size_t width = 0;
  using ravelin::cli::redrawLine;
  EXPECT_EQ(redrawLine("Saving 1/3", width, false), "\rSaving 1/3");
  EXPECT_EQ(redrawLine("Gr\xC3\xBC\xC3\x9F", width, false), "\rGr\xC3\xBC\xC3\x9F      ");
  EXPECT_EQ(redrawLine("", width, false), "\r    \r");
  EXPECT_EQ(redrawLine("x", width, true), "\r\033[Kx");
}
