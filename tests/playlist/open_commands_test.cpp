// The Open, Add Folder and Paste commands with the pickers answered by the test and the real
// clipboard of the offscreen platform.
#include "playlist/open_commands.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QList>
#include <QMimeData>
#include <QUrl>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "playlist/file_pickers.h"
#include "playlist/navigation_fixture.h"

namespace kestrel::test {
namespace {

using Items = std::vector<std::string>;

class OpenCommandsTest : public NavigationTest {
 protected:
  void SetUp() override {
    NavigationTest::SetUp();
    ThePlaylist().items = {"/earlier/item.mp3"};
  }
  void TearDown() override {
    SetOpenFilesPickerForTesting(nullptr);
    SetFolderPickerForTesting(nullptr);
    QGuiApplication::clipboard()->clear();
    NavigationTest::TearDown();
  }

  std::string Path(const std::string& relative) const { return (temp_.path() / relative).string(); }

  void PickFiles(Items files) {
    SetOpenFilesPickerForTesting([this, files](const FilePickerRequest& request) {
      request_ = request;
      return files;
    });
  }

  static std::string AllSaid(const std::vector<std::string>& said) {
    std::string all;
    for (const std::string& text : said) all += text + "|";
    return all;
  }

  FilePickerRequest request_;
};

TEST_F(OpenCommandsTest, OpenShowsTheFilterAndPlaysTheChosenFile) {
  const std::string tone = Tone("a.wav", 2);
  PickFiles({tone});
  CommandOpenFiles(nullptr);
  EXPECT_EQ(request_.caption, "Open file");
  ASSERT_EQ(request_.filters.size(), 5u);
  EXPECT_EQ(request_.selected_filter, 0);
  EXPECT_EQ(request_.filters[0].rfind("All Supported (*.mp3 *.mp2 ", 0), 0u);
  EXPECT_EQ(request_.filters[3], "Playlists (*.m3u *.m3u8 *.pls)");
  EXPECT_EQ(request_.filters[4], "All Files (*)");
  EXPECT_EQ(ThePlaylist().items, Items{tone});
  EXPECT_EQ(ThePlaylist().current_index, 0);
  EXPECT_EQ(OpenedPath(), tone);
}

TEST_F(OpenCommandsTest, OpenWithLoadFolderStartsAtTheChosenFile) {
  std::filesystem::create_directory(Path("album"));
  const std::string first = Tone("album/1.wav", 2);
  const std::string second = Tone("album/2.wav", 2);
  TheSettings().load_folder = true;
  PickFiles({second});
  CommandOpenFiles(nullptr);
  EXPECT_EQ(ThePlaylist().items, (Items{first, second}));
  EXPECT_EQ(ThePlaylist().current_index, 1);
  EXPECT_EQ(OpenedPath(), second);
}

TEST_F(OpenCommandsTest, CancelOrAnEmptyPlaylistFileKeepsTheList) {
  PickFiles({});
  CommandOpenFiles(nullptr);
  EXPECT_EQ(ThePlaylist().items, Items{"/earlier/item.mp3"});
  EXPECT_TRUE(Spoken().empty());

  PickFiles({temp_.Write("empty.m3u", "#EXTM3U\r\n").string()});
  CommandOpenFiles(nullptr);
  EXPECT_EQ(ThePlaylist().items, Items{"/earlier/item.mp3"});
  EXPECT_EQ(AllSaid(Spoken()), "No audio files found|");
}

TEST_F(OpenCommandsTest, AddFolderLoadsTheSortedTreeAndSaysHowMany) {
  std::filesystem::create_directories(Path("music/sub"));
  const std::string b = Tone("music/b.wav", 2);
  const std::string a = Tone("music/A.wav", 2);
  const std::string sub = Tone("music/sub/c.wav", 2);
  temp_.Write("music/cover.jpg", "");
  std::string asked;
  SetFolderPickerForTesting([&](const std::string& caption) {
    asked = caption;
    return Path("music");
  });
  CommandAddFolder(nullptr);
  EXPECT_EQ(asked, "Select folder to add to playlist");
  EXPECT_EQ(ThePlaylist().items, (Items{a, b, sub}));
  EXPECT_EQ(OpenedPath(), a);
  EXPECT_NE(AllSaid(Spoken()).find("3 files loaded"), std::string::npos);
}

TEST_F(OpenCommandsTest, AddFolderWithoutAudioOrCancelledKeepsTheList) {
  temp_.Write("pictures/p.jpg", "");
  SetFolderPickerForTesting([&](const std::string&) { return Path("pictures"); });
  CommandAddFolder(nullptr);
  EXPECT_EQ(ThePlaylist().items, Items{"/earlier/item.mp3"});
  EXPECT_EQ(AllSaid(Spoken()), "No audio files found|");

  SetFolderPickerForTesting([&](const std::string&) { return std::string(); });
  CommandAddFolder(nullptr);
  EXPECT_EQ(ThePlaylist().items, Items{"/earlier/item.mp3"});
  EXPECT_TRUE(Spoken().empty());
}

TEST_F(OpenCommandsTest, PasteTakesTheClipboardsFileList) {
  const std::string tone = Tone("x.wav", 2);
  temp_.Write("clip.mkv", "");
  temp_.Write("notes.txt", "");
  auto* data = new QMimeData;
  data->setUrls({QUrl::fromLocalFile(QString::fromStdString(tone)),
                 QUrl::fromLocalFile(QString::fromStdString(Path("clip.mkv"))),
                 QUrl::fromLocalFile(QString::fromStdString(Path("notes.txt"))),
                 QUrl(QStringLiteral("https://example.com/not-a-file"))});
  QGuiApplication::clipboard()->setMimeData(data);
  EXPECT_EQ(ReadClipboardMedia(), (Items{tone, Path("clip.mkv")}));
  CommandPasteFromClipboard();
  EXPECT_EQ(ThePlaylist().items, (Items{tone, Path("clip.mkv")}));
  EXPECT_EQ(OpenedPath(), tone);
  EXPECT_NE(AllSaid(Spoken()).find("2 items pasted"), std::string::npos);
}

TEST_F(OpenCommandsTest, PasteReadsTextLinesWhenThereIsNoFileList) {
  const std::string tone = Tone("y.wav", 2);
  temp_.Write("clip.mkv", "");
  QGuiApplication::clipboard()->setText(QString::fromStdString(
      "  " + tone + "  \r\n" + Path("clip.mkv") + "\nHTTP://upper.example/\nnonsense\n"));
  CommandPasteFromClipboard();
  EXPECT_EQ(ThePlaylist().items, Items{tone});
  EXPECT_NE(AllSaid(Spoken()).find("Pasted 1 item"), std::string::npos);
}

TEST_F(OpenCommandsTest, PasteOfNothingPlayableKeepsTheList) {
  QGuiApplication::clipboard()->setText(QStringLiteral("just words\nHTTP://upper.example/\n"));
  CommandPasteFromClipboard();
  EXPECT_EQ(ThePlaylist().items, Items{"/earlier/item.mp3"});
  EXPECT_EQ(AllSaid(Spoken()), "No media in clipboard|");

  QGuiApplication::clipboard()->clear();
  CommandPasteFromClipboard();
  EXPECT_EQ(AllSaid(Spoken()), "No media in clipboard|");
}

}  // namespace
}  // namespace kestrel::test
