#include "cli/console_line.h"

#include <gtest/gtest.h>

using namespace ravelin::cli;

namespace {

TEST(ConsoleLine, WithoutEscapesBlanksCoverTheLongerLineBefore) {
  std::size_t width = 0;
  EXPECT_EQ(redrawLine("Loading [##..] 5/9", width, false), "\rLoading [##..] 5/9");
  EXPECT_EQ(redrawLine("Gr\xC3\xBC\xC3\x9F"
                       "e",
                       width, false),
            "\rGr\xC3\xBC\xC3\x9F"
            "e" +
                std::string(13, ' '));
  EXPECT_EQ(width, 5u);
  EXPECT_EQ(redrawLine("", width, false), "\r     \r");
  EXPECT_EQ(redrawLine("", width, false), "\r");
}

TEST(ConsoleLine, WithEscapesTheLineIsErasedByOne) {
  std::size_t width = 40;
  EXPECT_EQ(redrawLine("x", width, true), "\r\033[Kx");
  EXPECT_EQ(width, 1u);
}

}  // namespace
