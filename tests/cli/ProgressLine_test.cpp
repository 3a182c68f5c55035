#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "cli/ProgressLine.h"

namespace orvel {
namespace {

using cli::ProgressLine;

// What drawing text over the line writes (built by appending: GCC 12 warns wrongly about
// prepending to a temporary string).
std::string Drawn(const std::string& text, std::size_t blanksAfter = 0) {
  std::string line = "\r";
  line += text;
  return line.append(blanksAfter, ' ');
}

// What blanking a drawn line of width characters writes.
std::string Blanked(std::size_t width) {
  std::string text = "\r";
  text.append(width, ' ');
  return text + "\r";
}

// A line drawn on a terminal of text, at the times the test sets, started at 64 s.
class ProgressLineTest : public ::testing::Test {
 protected:
  void SetUp() override { m_line.Start(); }
  // The time is now seconds; what the line draws now on layer of layers.
  std::string DrawnAt(double seconds, int layer, int layers) {
    m_now = seconds;
    m_terminal.str("");
    m_line.LayerDone(layer, layers);
    return m_terminal.str();
  }
  // What clearing the line writes.
  std::string Cleared() {
    m_terminal.str("");
    m_line.Clear();
    return m_terminal.str();
  }

  double m_now = 64.0;  // only differences count; binary fractions keep them exact
  std::ostringstream m_terminal;
  ProgressLine m_line{&m_terminal, [this] { return m_now; }};
};

TEST_F(ProgressLineTest, TextGivesLayerRateAndTimeLeft) {
  struct Case {
    int layer, layers;
    double seconds;
    const char* text;
  };
  for (const Case& c : {
           Case{57, 200, 1.0, "layer 57 of 200, 57.0 slices/s, 3 s left"},  // 143 / 57 = 2.5 s, rounded up
           Case{300, 400, 2.0, "layer 300 of 400, 150 slices/s, 1 s left"},
           Case{200, 200, 4.0, "layer 200 of 200, 50.0 slices/s, 0 s left"},
           Case{3, 9999, 1.5, "layer 3 of 9999, 2.0 slices/s, 1 h 23 min left"},     // 4998 s
           Case{10, 1000, 1.25, "layer 10 of 1000, 8.0 slices/s, 2 min 04 s left"},  // 123.75 s
           Case{1, 50, 0.0, "layer 1 of 50, 0.0 slices/s, unknown time left"},
       })
    EXPECT_EQ(cli::FormatProgress(c.layer, c.layers, c.seconds), c.text);
}

TEST_F(ProgressLineTest, DrawnOnlyAfterASecondThenAtMostTenTimesASecond) {
  EXPECT_EQ(DrawnAt(64.9375, 9, 20), "") << "a run shorter than a second shows nothing";
  EXPECT_EQ(DrawnAt(65.0, 10, 20), "\rlayer 10 of 20, 10.0 slices/s, 1 s left");
  EXPECT_EQ(DrawnAt(65.0625, 11, 20), "") << "redrawn too soon";
  EXPECT_EQ(DrawnAt(65.125, 12, 20), "\rlayer 12 of 20, 10.7 slices/s, 1 s left");
}

TEST_F(ProgressLineTest, TheLastLayerIsAlwaysDrawnAndClearBlanksTheWholeLine) {
  DrawnAt(66.0, 100, 1000);
  const std::string last = "layer 1000 of 1000, 496 slices/s, 0 s left";
  // At once, though within a tenth of a second of the last drawing.
  EXPECT_EQ(DrawnAt(66.015625, 1000, 1000), Drawn(last, 1)) << "one blank over the longer line before";
  EXPECT_EQ(Cleared(), Blanked(last.size()));
  EXPECT_EQ(Cleared(), "") << "nothing left to blank";
}

TEST_F(ProgressLineTest, AShorterLineBlanksWhatWasLeftOfTheLongerOne) {
  // "layer 1 of 5000, 0.1 slices/s, 13 h 53 min left", then "layer 4000 of 5000, 364 slices/s, 3 s left"
  const std::size_t longer = DrawnAt(74.0, 1, 5000).size() - 1;
  const std::string shorter = cli::FormatProgress(4000, 5000, 11.0);
  ASSERT_LT(shorter.size(), longer);
  EXPECT_EQ(DrawnAt(75.0, 4000, 5000), Drawn(shorter, longer - shorter.size()));
}

TEST_F(ProgressLineTest, MessagesStartOnABlankLineAndTheLineComesBackAfterThem) {
  const std::size_t drawn = DrawnAt(66.0, 4, 8).size() - 1;
  m_terminal.str("");
  m_line.ShowAbove([&] { m_terminal << "Invalid bitmap file\n"; });
  EXPECT_EQ(m_terminal.str(), Blanked(drawn) + "Invalid bitmap file\n");
  EXPECT_EQ(DrawnAt(66.015625, 5, 8), Drawn(cli::FormatProgress(5, 8, 2.015625)));
}

TEST_F(ProgressLineTest, WithoutATerminalNothingIsWrittenEver) {
  double now = 64.0;
  ProgressLine line(nullptr, [&] { return now; });
  line.Start();
  now = 128.0;
  line.LayerDone(1, 2);  // would crash on a null stream if it drew
  bool printed = false;
  line.ShowAbove([&] { printed = true; });
  line.Clear();
  EXPECT_TRUE(printed);
}

}  // namespace
}  // namespace orvel
