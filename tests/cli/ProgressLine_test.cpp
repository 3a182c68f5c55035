#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "cli/ProgressLine.h"

namespace orvel {
namespace {

using cli::ProgressLine;

TEST(ProgressLineTest, TextGivesLayerRateAndTimeLeft) {
  struct Case {
    int layer, layers;
    double seconds;
    const char* text;
  };
  for (const Case& c : {
           Case{57, 200, 1.0, "layer 57 of 200, 57.0 slices/s, 3 s left"},  // 143 / 57 = 2.5 s, rounded up
           Case{300, 400, 2.0, "layer 300 of 400, 150 slices/s, 1 s left"},
           Case{200, 200, 4.0, "layer 200 of 200, 50.0 slices/s, 0 s left"},
           Case{3, 9999, 1.5, "layer 3 of 9999, 2.0 slices/s, 1 h 23 min left"},  // 4998 s
           Case{10, 1000, 1.25, "layer 10 of 1000, 8.0 slices/s, 2 min 04 s left"},  // 123.75 s
           Case{1, 50, 0.0, "layer 1 of 50, 0.0 slices/s, unknown time left"},
       })
    EXPECT_EQ(cli::FormatProgress(c.layer, c.layers, c.seconds), c.text);
}

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

class FakeClock {
 public:
  ProgressLine::Clock Reading() {
    return [this] { return m_now; };
  }
  void Set(double seconds) { m_now = seconds; }

 private:
  double m_now = 64.0;  // only differences count; binary fractions keep them exact
};

TEST(ProgressLineTest, DrawnOnlyAfterASecondThenAtMostTenTimesASecond) {
  std::ostringstream terminal;
  FakeClock clock;
  ProgressLine line(&terminal, clock.Reading());
  line.Start();
  clock.Set(64.9375);
  line.LayerDone(9, 20);
  EXPECT_EQ(terminal.str(), "") << "a run shorter than a second shows nothing";
  clock.Set(65.0);
  line.LayerDone(10, 20);
  EXPECT_EQ(terminal.str(), "\rlayer 10 of 20, 10.0 slices/s, 1 s left");
  clock.Set(65.0625);
  line.LayerDone(11, 20);
  EXPECT_EQ(terminal.str(), "\rlayer 10 of 20, 10.0 slices/s, 1 s left") << "redrawn too soon";
  clock.Set(65.125);
  terminal.str("");
  line.LayerDone(12, 20);
  EXPECT_EQ(terminal.str(), "\rlayer 12 of 20, 10.7 slices/s, 1 s left");
}

TEST(ProgressLineTest, TheLastLayerIsAlwaysDrawnAndClearBlanksTheWholeLine) {
  std::ostringstream terminal;
  FakeClock clock;
  ProgressLine line(&terminal, clock.Reading());
  line.Start();
  clock.Set(66.0);
  line.LayerDone(100, 1000);
  clock.Set(66.015625);
  terminal.str("");
  line.LayerDone(1000, 1000);  // at once, though within a tenth of a second of the last drawing
  const std::string last = "layer 1000 of 1000, 496 slices/s, 0 s left";
  EXPECT_EQ(terminal.str(), Drawn(last, 1)) << "one blank over the longer line before";
  terminal.str("");
  line.Clear();
  EXPECT_EQ(terminal.str(), Blanked(last.size()));
  terminal.str("");
  line.Clear();
  EXPECT_EQ(terminal.str(), "") << "nothing left to blank";
}

TEST(ProgressLineTest, AShorterLineBlanksWhatWasLeftOfTheLongerOne) {
  std::ostringstream terminal;
  FakeClock clock;
  ProgressLine line(&terminal, clock.Reading());
  line.Start();
  clock.Set(74.0);
  line.LayerDone(1, 5000);  // "layer 1 of 5000, 0.1 slices/s, 13 h 53 min left"
  const std::size_t longer = terminal.str().size() - 1;
  clock.Set(75.0);
  terminal.str("");
  line.LayerDone(4000, 5000);  // "layer 4000 of 5000, 364 slices/s, 3 s left"
  const std::string shorter = cli::FormatProgress(4000, 5000, 11.0);
  ASSERT_LT(shorter.size(), longer);
  EXPECT_EQ(terminal.str(), Drawn(shorter, longer - shorter.size()));
}

TEST(ProgressLineTest, MessagesStartOnABlankLineAndTheLineComesBackAfterThem) {
  std::ostringstream terminal;
  FakeClock clock;
  ProgressLine line(&terminal, clock.Reading());
  line.Start();
  clock.Set(66.0);
  line.LayerDone(4, 8);
  const std::size_t drawn = terminal.str().size() - 1;
  terminal.str("");
  line.ShowAbove([&] { terminal << "Invalid bitmap file\n"; });
  EXPECT_EQ(terminal.str(), Blanked(drawn) + "Invalid bitmap file\n");
  terminal.str("");
  clock.Set(66.015625);
  line.LayerDone(5, 8);
  EXPECT_EQ(terminal.str(), Drawn(cli::FormatProgress(5, 8, 2.015625)));
}

TEST(ProgressLineTest, WithoutATerminalNothingIsWrittenEver) {
  FakeClock clock;
  ProgressLine line(nullptr, clock.Reading());
  line.Start();
  clock.Set(128.0);
  line.LayerDone(1, 2);  // would crash on a null stream if it drew
  bool printed = false;
  line.ShowAbove([&] { printed = true; });
  line.Clear();
  EXPECT_TRUE(printed);
}

}  // namespace
}  // namespace orvel
