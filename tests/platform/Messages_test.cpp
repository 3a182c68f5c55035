// Messages shown on a thread with a capture are held for later instead of reaching the sink.
#include <gtest/gtest.h>

#include <thread>

#include "platform/Messages.h"
#include "support/TestSupport.h"

namespace orvel::platform {
namespace {

TEST(ThreadMessageCaptureTest, HoldsTheMessagesOfItsOwnThreadOnly) {
  test::MessageCapture sink;
  std::vector<Message> held;
  std::thread worker([&] {
    ThreadMessageCapture capture;
    ShowMessage("Invalid bitmap file", "orvel");
    ShowMessage("Read error 1", "orvel");
    held = capture.Take();
    ShowMessage("after take", "orvel");
    EXPECT_EQ(capture.Take(), (std::vector<Message>{{"after take", "orvel"}}));
  });
  worker.join();
  ShowMessage("from the window", "caption");
  EXPECT_EQ(held, (std::vector<Message>{{"Invalid bitmap file", "orvel"}, {"Read error 1", "orvel"}}));
  EXPECT_EQ(sink.Texts(), (std::vector<std::string>{"from the window"}));

  ShowMessages(held);
  EXPECT_EQ(sink.Texts(), (std::vector<std::string>{"from the window", "Invalid bitmap file", "Read error 1"}));
  EXPECT_EQ(sink.Messages().back().caption, "orvel");
}

TEST(ThreadMessageCaptureTest, InnermostCaptureCollectsAndTheOuterResumesAfterIt) {
  test::MessageCapture sink;
  ThreadMessageCapture outer;
  {
    ThreadMessageCapture inner;
    ShowMessage("inner", "c");
    EXPECT_EQ(inner.Take().size(), 1u);
  }
  ShowMessage("outer", "c");
  EXPECT_EQ(outer.Take(), (std::vector<Message>{{"outer", "c"}}));
  EXPECT_TRUE(sink.Messages().empty());
}

}  // namespace
}  // namespace orvel::platform
