// Slices read ahead for playback: loading one must look exactly like reading it there and then.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "app/PlaybackReadAhead.h"
#include "image/BmpFile.h"
#include "support/SliceBuilder.h"
#include "support/TestSupport.h"

namespace orvel {
namespace {

using test::TemporaryDirectory;

TEST(NextPlaybackSliceTest, RunsBackAndForthTurningAtBothEnds) {
  for (const auto& [count, expected] :
       {std::pair{5, std::vector<int>{1, 2, 3, 4, 3, 2, 1, 0, 1, 2}}, std::pair{2, std::vector<int>{1, 0, 1, 0, 1}}}) {
    std::vector<int> visited;
    PlaybackMove move{0, +1};
    for (std::size_t i = 0; i < expected.size(); ++i) {
      move = NextPlaybackSlice(move.slice, move.direction, count);
      visited.push_back(move.slice);
    }
    EXPECT_EQ(visited, expected) << count << " slices";
  }
}

class PlaybackReadAheadTest : public ::testing::Test {
 protected:
  // Slices of 16 x 8 pixels, each filled with 10 times its index.
  std::vector<std::string> WriteSlices(int count) {
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
      const SliceImage slice = test::MakeSlice(16, 8, static_cast<std::uint8_t>(10 * i));
      char name[32];
      std::snprintf(name, sizeof name, "s%04d.bmp", i);
      paths.push_back(m_dir.File(name));
      EXPECT_TRUE(SaveBmpFile(slice, paths.back()));
    }
    return paths;
  }

  static void WaitUntilReady(const PlaybackReadAhead& readAhead, int count) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (readAhead.ReadyCount() < count && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(readAhead.ReadyCount(), count);
  }

  TemporaryDirectory m_dir;
};

TEST_F(PlaybackReadAheadTest, SlicesReadAheadAreTheSlicesAskedFor) {
  const auto paths = WriteSlices(4);
  PlaybackReadAhead readAhead(paths, nullptr, 1);
  readAhead.ReadAhead({2, 3});
  WaitUntilReady(readAhead, 2);
  SliceImage shown;
  for (int index : {2, 3, 1, 0}) {  // two read ahead, two not
    ASSERT_EQ(readAhead.Load(index, shown), LoadStatus::kLoaded);
    EXPECT_EQ(shown.GetPixel(3, 4), 10 * index);
    EXPECT_EQ(shown.GetWidth(), 16);
  }
  EXPECT_EQ(readAhead.ReadyCount(), 0);
}

TEST_F(PlaybackReadAheadTest, AtMostTwoSlicesAreHeldAndUnwantedOnesAreDropped) {
  const auto paths = WriteSlices(5);
  PlaybackReadAhead readAhead(paths, nullptr, 1);
  readAhead.ReadAhead({1, 2, 3});
  WaitUntilReady(readAhead, 2);
  readAhead.ReadAhead({2, 4});  // 1 is dropped, 2 kept, 4 read
  WaitUntilReady(readAhead, 2);
  // The file of slice 1 changes: it was dropped, so loading it reads the file as it is now.
  SliceImage replacement;
  replacement.Create(16, 8, 8, false);
  ASSERT_TRUE(SaveBmpFile(replacement, paths[1]));
  SliceImage shown;
  ASSERT_EQ(readAhead.Load(1, shown), LoadStatus::kLoaded);
  EXPECT_EQ(shown.GetPixel(0, 0), 0);
  ASSERT_EQ(readAhead.Load(4, shown), LoadStatus::kLoaded);
  EXPECT_EQ(shown.GetPixel(0, 0), 40);
  readAhead.Forget();
  EXPECT_EQ(readAhead.ReadyCount(), 0);
}

// Three workers hold four slices, each loaded as itself whichever worker read it, and a slice
// named while they read (the selector moved) is read on the spot.
TEST_F(PlaybackReadAheadTest, SeveralWorkersHoldOneSliceMoreThanThereAreWorkers) {
  const auto paths = WriteSlices(8);
  PlaybackReadAhead readAhead(paths, nullptr, 3);
  readAhead.ReadAhead({1, 2, 3, 4, 5, 6});
  SliceImage shown;
  ASSERT_EQ(readAhead.Load(7, shown), LoadStatus::kLoaded);
  EXPECT_EQ(shown.GetPixel(0, 0), 70);
  WaitUntilReady(readAhead, 4);
  for (int index : {1, 2, 3, 4, 5}) {
    ASSERT_EQ(readAhead.Load(index, shown), LoadStatus::kLoaded);
    EXPECT_EQ(shown.GetPixel(0, 0), 10 * index);
  }
}

// A reader's message appears when the step reaches the slice, on the loading thread, and the
// failed slice leaves the image empty rather than holding the picture before it.
TEST_F(PlaybackReadAheadTest, AFailedReadAheadShowsItsMessageOnlyWhenLoaded) {
  auto paths = WriteSlices(3);
  test::WriteFile(paths[2], std::string("BM not a bitmap at all, only text"));
  test::MessageCapture messages;
  PlaybackReadAhead readAhead(paths, nullptr, 1);
  readAhead.ReadAhead({1, 2});
  WaitUntilReady(readAhead, 2);
  EXPECT_TRUE(messages.Messages().empty());

  SliceImage shown;
  ASSERT_EQ(readAhead.Load(1, shown), LoadStatus::kLoaded);
  EXPECT_TRUE(messages.Messages().empty());
  EXPECT_EQ(readAhead.Load(2, shown), LoadStatus::kReadFailed);
  EXPECT_TRUE(shown.IsEmpty());
  ASSERT_EQ(messages.Texts(), std::vector<std::string>{"Invalid bitmap file"});
  EXPECT_EQ(messages.Messages()[0].caption, platform::ApplicationTitle());

  // Read on the spot, the same slice gives the same status and message.
  PlaybackReadAhead direct(paths, nullptr, 1);
  EXPECT_EQ(direct.Load(2, shown), LoadStatus::kReadFailed);
  EXPECT_EQ(messages.Texts().size(), 2u);
}

TEST_F(PlaybackReadAheadTest, AMissingFileLeavesTheImageEmptyWithoutAMessage) {
  auto paths = WriteSlices(2);
  std::remove(paths[1].c_str());
  test::MessageCapture messages;
  PlaybackReadAhead readAhead(paths, nullptr, 1);
  readAhead.ReadAhead({1});
  WaitUntilReady(readAhead, 1);
  SliceImage shown;
  ASSERT_EQ(readAhead.Load(0, shown), LoadStatus::kLoaded);
  EXPECT_EQ(readAhead.Load(1, shown), LoadStatus::kCannotOpen);
  EXPECT_TRUE(shown.IsEmpty());
  EXPECT_TRUE(messages.Messages().empty());
}

}  // namespace
}  // namespace orvel
