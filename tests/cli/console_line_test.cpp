#include "cli/console_line.h"

#include <gtest/gtest.h>

namespace {

TEST(ConsoleLine, WithoutEscapesBlanksCoverTheLongerLineBefore) {
  std::size_t width = 0;
  EXPECT_EQ(ravelin::cli::redrawLine("Saving [#..] 1/3", width, false), "\rSaving [#..] 1/3");
  EXPECT_EQ(ravelin::cli::redrawLine("Gr\xC3\xBC\xC3\x9F", width, false),
            "\rGr\xC3\xBC\xC3\x9F" + std::string(12, ' '));
  EXPECT_EQ(ravelin::cli::redrawLine("", width, false), "\r    \r");
  EXPECT_EQ(ravelin::cli::redrawLine("x", width, true), "\r\033[Kx");
}

}  // namespace
