#include "platform/gzip_inflater.h"

#include <gtest/gtest.h>

#include "support/packed_lists.h"

using ravelin::platform::GzipInflater;

TEST(GzipInflaterTest, MembersInAnyPieceSizeAndTheCapToTheByte) {
  std::string plain;
  for (int i = 0; plain.size() < 300000; ++i) plain += std::to_string(i * 7919 % 100003) + ",";
  const std::string gz = test::Gzip(plain) + test::Gzip("tail");
  const std::string whole = plain + "tail";
  for (std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{4096}, gz.size()}) {
    GzipInflater in(whole.size());
    std::string out;
    for (std::size_t at = 0; at < gz.size(); at += piece)
      ASSERT_EQ(in.feed(std::string_view(gz).substr(at, piece), out),
                GzipInflater::Status::NeedMore)
          << piece << " at " << at;
    EXPECT_EQ(in.finish(), GzipInflater::Status::Done) << piece;
    EXPECT_TRUE(out == whole) << piece;
  }
  GzipInflater small(whole.size() - 1);
  std::string out;
  EXPECT_EQ(small.feed(gz, out), GzipInflater::Status::TooLarge);
  EXPECT_EQ(out.size(), whole.size() - 1);
  GzipInflater cut(whole.size());
  EXPECT_EQ(cut.feed(std::string_view(gz).substr(0, gz.size() / 2), out),
            GzipInflater::Status::NeedMore);
  EXPECT_EQ(cut.finish(), GzipInflater::Status::Error);
}
