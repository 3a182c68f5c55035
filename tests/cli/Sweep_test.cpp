// orvel-analyze --sweep 3: each row against a run of its own with level positions that give the
// shifted window (P1 = low, P2 = 2 high), for --2d and for --3d.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <set>

#include "analysis/StackRun.h"
#include "cli/Csv.h"
#include "image/BmpFile.h"
#include "support/SliceBuilder.h"

namespace orvel {
namespace {

using test::Analyze;
using test::RunResult;
using test::SliceName;
using test::TemporaryDirectory;

std::map<std::string, std::string> Members(const RunResult& result) {
  EXPECT_EQ(result.status, 0) << result.err;
  std::map<std::string, std::string> members;
  for (auto& [name, value] : cli::FlattenJson(result.out)) members[name] = value;
  return members;
}

// Smooth grey hills with noise: every shift of the window moves the objects' edges.
void WriteHills(const TemporaryDirectory& dir, int count) {
  std::mt19937 random(5);
  for (int k = 0; k < count; ++k) {
    SliceImage slice = test::MakeSlice(48, 40);
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 48; ++x) {
        const double hill = 70 * std::sin(0.3 * x + 0.4 * k) * std::cos(0.25 * y);
        test::SetImagePixel(slice, x, y, static_cast<std::uint8_t>(130 + static_cast<int>(hill) + random() % 7));
      }
    ASSERT_TRUE(SaveBmpFile(slice, dir.File(SliceName(2 * k))));
  }
}

void ExpectRowsEqualSeparateRuns(const std::vector<std::string>& run, const std::string& section,
                                 const std::vector<std::string>& keys) {
  std::vector<std::string> sweepRun = run;
  sweepRun.insert(sweepRun.end(), {"--levels", "120,330", "--sweep", "3", "--json"});
  auto swept = Members(Analyze(sweepRun));
  ASSERT_EQ(swept.count(section + ".sweep.6.shift"), 1u);
  EXPECT_EQ(swept.count(section + ".sweep.7.shift"), 0u);
  std::set<std::string> volumes;
  for (int row = 0; row < 7; ++row) {
    const std::string prefix = section + ".sweep." + std::to_string(row) + ".";
    EXPECT_EQ(swept[prefix + "shift"], std::to_string(row - 3));
    const int low = 120 + row - 3, high = 165 + row - 3;  // the window 120 .. 165, shifted
    EXPECT_EQ(swept[prefix + "low"], std::to_string(low));
    EXPECT_EQ(swept[prefix + "high"], std::to_string(high));
    std::vector<std::string> alone = run;
    alone.insert(alone.end(), {"--levels", std::to_string(low) + "," + std::to_string(2 * high), "--json"});
    auto separate = Members(Analyze(alone));
    for (const std::string& key : keys)
      EXPECT_EQ(swept[prefix + key], separate[section + "." + key]) << "shift " << row - 3 << ", " << key;
    volumes.insert(swept[prefix + keys.front()]);
  }
  EXPECT_GT(volumes.size(), 3u);  // the shifts do move the figures
}

using SweepTest = test::StackRunTest;

TEST_F(SweepTest, AreaRowsEqualRunsWithTheShiftedLevels) {
  WriteHills(m_dir, 1);
  ExpectRowsEqualSeparateRuns({Slice(0), "--ellipse", "2,3,45,38", "--2d"}, "area", {"selected", "objects"});
  // The relative area is the one of the text line, to its decimal.
  auto swept = Members(Analyze({Slice(0), "--rectangle", "0,0,48,40", "--2d", "--sweep", "0", "--json"}));
  EXPECT_DOUBLE_EQ(std::stod(swept["area.sweep.0.relativeArea"]) * 48 * 40 / 100, std::stod(swept["area.selected"]));
}

TEST_F(SweepTest, ModelRowsEqualRunsWithTheShiftedLevels) {
  WriteHills(m_dir, 7);
  ExpectRowsEqualSeparateRuns({Slice(0), "--rectangle", "1,1,47,39", "--3d", "--range", "1,6"}, "model",
                              {"volume", "surface"});
}

TEST_F(SweepTest, TextListsEveryShiftAfterTheResults) {
  WriteHills(m_dir, 3);
  const RunResult plain = Analyze({Slice(0), "--rectangle", "1,1,47,39", "--3d"});
  const RunResult swept = Analyze({Slice(0), "--rectangle", "1,1,47,39", "--3d", "--sweep", "2"});
  ASSERT_EQ(swept.status, 0) << swept.err;
  ASSERT_EQ(swept.out.compare(0, plain.out.size(), plain.out), 0) << swept.out;
  const std::string table = swept.out.substr(plain.out.size());
  EXPECT_EQ(table.rfind("Threshold sweep\n  -2: 126..189  Total Volume: ", 0), 0u) << table;
  EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 6);
  EXPECT_NE(table.find("\n  +2: 130..193  "), std::string::npos) << table;
}

}  // namespace
}  // namespace orvel
