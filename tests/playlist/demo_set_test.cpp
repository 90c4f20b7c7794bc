// The demo set a new user hears first: its playlist names every piece, and each one opens.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/open_media.h"
#include "playlist/navigation_fixture.h"
#include "playlist/playlist_file.h"

namespace kestrel::test {
namespace {

class DemoSetTest : public NavigationTest {};

TEST_F(DemoSetTest, IsSmallAndEveryPieceOpens) {
  const std::filesystem::path demo = std::filesystem::path(KESTREL_SOURCE_DIR) / "data/demo";
  const std::vector<std::string> items = ReadPlaylistFile((demo / "demo.m3u").string());
  ASSERT_EQ(items.size(), 5u);
  std::uintmax_t bytes = 0;
  for (const std::string& item : items) {
    ASSERT_TRUE(std::filesystem::is_regular_file(item)) << item;
    bytes += std::filesystem::file_size(item);
    EXPECT_TRUE(OpenMedia(item)) << item;
    CloseMedia();
  }
  EXPECT_LT(bytes, 300u * 1024u);
  EXPECT_TRUE(boxes_.empty());
}

}  // namespace
}  // namespace kestrel::test
