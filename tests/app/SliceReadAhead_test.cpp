// Slices read ahead on 1, 2 and 7 worker threads: handed over in order, the workers stopped when
// the caller leaves early, and a reader's messages shown on the caller's thread when it takes
// that slice.
#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>
#include <vector>

#include "app/SliceReadAhead.h"
#include "image/BmpFile.h"
#include "support/SliceBuilder.h"
#include "support/TestSupport.h"

namespace orvel {
namespace {

using test::TemporaryDirectory;

std::string SliceName(int number) {
  char name[32];
  std::snprintf(name, sizeof name, "slice%04d.bmp", number);
  return name;
}

// Slice i is 4 + i pixels wide, so the width tells which slice arrived.
std::vector<std::string> WriteSeries(const TemporaryDirectory& dir, int count) {
  std::vector<std::string> paths;
  for (int i = 0; i < count; ++i) {
    paths.push_back(dir.File(SliceName(i)));
    EXPECT_TRUE(SaveBmpFile(test::MakeSlice(4 + i, 3), paths.back()));
  }
  return paths;
}

class SliceReadAheadTest : public ::testing::TestWithParam<int> {};

TEST_P(SliceReadAheadTest, HandsOverSlicesInOrderAndStopsWhenLeftEarly) {
  TemporaryDirectory dir;
  const std::vector<std::string> paths = WriteSeries(dir, 20);
  {
    SliceReadAhead slices(paths, nullptr, GetParam());
    SliceImage slice;
    for (int i = 0; i < 20; ++i) {
      ASSERT_EQ(slices.Next(slice), LoadStatus::kLoaded);
      ASSERT_EQ(slice.GetWidth(), 4 + i);
    }
    EXPECT_THROW(slices.Next(slice), std::logic_error);
  }
  SliceReadAhead slices(paths, nullptr, GetParam());
  SliceImage slice;
  EXPECT_EQ(slices.Next(slice), LoadStatus::kLoaded);
  EXPECT_EQ(slice.GetWidth(), 4);
}  // left after one slice: the worker, waiting for a free image, must end

TEST_P(SliceReadAheadTest, TheCallersImageIsNotTouchedOnceHandedBack) {
  TemporaryDirectory dir;
  const std::vector<std::string> paths = WriteSeries(dir, 6);
  SliceReadAhead slices(paths, nullptr, GetParam());
  SliceImage first, second;
  ASSERT_EQ(slices.Next(first), LoadStatus::kLoaded);
  for (int i = 1; i < 6; ++i) ASSERT_EQ(slices.Next(second), LoadStatus::kLoaded);
  EXPECT_EQ(first.GetWidth(), 4);
  EXPECT_EQ(second.GetWidth(), 9);
}

// The reader runs on the worker, but its message belongs to the moment the caller reaches that
// slice: it is shown then, on the caller's thread, and the slices after it are not read.
TEST_P(SliceReadAheadTest, ReadersMessagesArriveOnTheCallersThreadWithTheirSlice) {
  TemporaryDirectory dir;
  std::vector<std::string> paths = WriteSeries(dir, 6);
  test::WriteFile(paths[2], std::string("BM but not a bitmap at all"));
  test::MessageCapture messages;
  SliceReadAhead slices(paths, nullptr, GetParam());
  SliceImage slice;
  EXPECT_EQ(slices.Next(slice), LoadStatus::kLoaded);
  EXPECT_EQ(slices.Next(slice), LoadStatus::kLoaded);
  EXPECT_TRUE(messages.Messages().empty());
  EXPECT_EQ(slices.Next(slice), LoadStatus::kReadFailed);
  EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Invalid bitmap file"});
  EXPECT_EQ(messages.Threads(), std::vector<std::thread::id>{std::this_thread::get_id()});
}

TEST_P(SliceReadAheadTest, AMissingSliceIsReportedAsSuch) {
  TemporaryDirectory dir;
  std::vector<std::string> paths = WriteSeries(dir, 3);
  paths[1] = dir.File("missing0001.bmp");
  SliceReadAhead slices(paths, nullptr, GetParam());
  SliceImage slice;
  EXPECT_EQ(slices.Next(slice), LoadStatus::kLoaded);
  EXPECT_EQ(slices.Next(slice), LoadStatus::kCannotOpen);
  EXPECT_THROW(slices.Next(slice), std::logic_error);  // nothing after it is read: no wait for it
}

INSTANTIATE_TEST_SUITE_P(Workers, SliceReadAheadTest, ::testing::Values(1, 2, 7));

}  // namespace
}  // namespace orvel
