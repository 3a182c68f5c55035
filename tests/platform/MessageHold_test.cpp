// Holding back messages on one thread: a worker keeps its reader's messages for later while every
// other thread's messages reach the sink as before.
#include <gtest/gtest.h>

#include <thread>

#include "platform/Messages.h"
#include "support/TestSupport.h"

namespace orvel::platform {
namespace {

TEST(MessageHoldTest, HoldsOnlyTheThreadThatMadeItUntilItEnds) {
  test::MessageCapture shown;
  std::vector<HeldMessage> held;
  std::thread worker([&] {
    MessageHold hold;
    ShowMessage("Invalid bitmap file", "orvel");
    ShowFileMessage("Read error 1");
    held = hold.Take();
    ShowMessage("after taking", "c");
    EXPECT_EQ(hold.Take().size(), 1u);
  });
  worker.join();
  ShowMessage("main thread", "c");
  EXPECT_EQ(shown.Texts(), std::vector<std::string>{"main thread"});
  ASSERT_EQ(held.size(), 2u);
  EXPECT_EQ(held[0].text, "Invalid bitmap file");
  EXPECT_EQ(held[1].caption, ApplicationTitle());

  ShowMessages(held);
  EXPECT_EQ(shown.Texts(), (std::vector<std::string>{"main thread", "Invalid bitmap file", "Read error 1"}));
}

TEST(MessageHoldTest, AnInnerHoldGivesBackToTheOuterOne) {
  test::MessageCapture shown;
  MessageHold outer;
  {
    MessageHold inner;
    ShowMessage("inner", "c");
    EXPECT_EQ(inner.Take().size(), 1u);
    ShowMessage("dropped with the inner hold", "c");
  }
  ShowMessage("outer", "c");
  const std::vector<HeldMessage> held = outer.Take();
  ASSERT_EQ(held.size(), 1u);
  EXPECT_EQ(held[0].text, "outer");
  EXPECT_TRUE(shown.Messages().empty());
}

}  // namespace
}  // namespace orvel::platform
