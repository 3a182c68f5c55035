#include "cli/SweepResults.h"

#include "analysis/ResultText.h"
#include "cli/Json.h"

namespace orvel::cli {
namespace {

using analysis::AppendFormatted;

// "-3: 125..188  " — the shift and the window it gave.
void AppendShift(std::string& text, int shift, analysis::ThresholdRange window) {
  AppendFormatted(text, "%+4d: %3d..%3d  ", shift, window.low, window.high);
}

double Ratio(double surface, std::int64_t volume) { return volume == 0 ? 0.0 : surface / static_cast<double>(volume); }

}  // namespace

std::string AreaSweepText(const std::vector<AreaSweepRow>& rows, double ps) {
  std::string text = "Threshold sweep\r\n";
  for (const AreaSweepRow& row : rows) {
    AppendShift(text, row.shift, row.window);
    if (ps == 0) AppendFormatted(text, "Total Area: %lld sq.pixels", static_cast<long long>(row.selected));
    else AppendFormatted(text, "Total Area: %8.5lf sq.mm", ps * static_cast<double>(row.selected) * ps);
    AppendFormatted(text, "  Relative Area: %3.1f%%  Number of Objects: %lld\r\n", row.relativeAreaPercent,
                    static_cast<long long>(row.objects));
  }
  return text;
}

std::string AreaSweepJson(const std::vector<AreaSweepRow>& rows) {
  return JsonArrayOf(rows, [](const AreaSweepRow& row) {
    JsonObject member;
    member.Add("shift", row.shift)
        .Add("low", row.window.low)
        .Add("high", row.window.high)
        .Add("selected", row.selected)
        .Add("relativeArea", row.relativeAreaPercent)
        .Add("objects", row.objects);
    return member;
  });
}

std::string ModelSweepText(const std::vector<analysis::SweepModel>& models, double ps) {
  std::string text = "Threshold sweep\r\n";
  for (const analysis::SweepModel& m : models) {
    AppendShift(text, m.shift, m.window);
    const double volume = static_cast<double>(m.volume), surface = static_cast<double>(m.surface);
    if (ps == 0) AppendFormatted(text, "Total Volume: %lld cub.pixels", static_cast<long long>(m.volume));
    else AppendFormatted(text, "Total Volume: %.5lf cub.mm", volume * ps * ps * ps);
    AppendFormatted(text, "  Volume Fraction: %3.1f %%", m.volumeFractionPercent);
    if (ps == 0)
      AppendFormatted(text, "  Total Surface: %lld sq.pixels  Surface/Volume: %.4f pixels-1\r\n",
                      static_cast<long long>(m.surface), Ratio(surface, m.volume));
    else
      AppendFormatted(text, "  Total Surface: %.5lf sq.mm  Surface/Volume: %.3lf mm-1\r\n", surface * ps * ps,
                      Ratio(surface, m.volume) / ps);
  }
  return text;
}

std::string ModelSweepJson(const std::vector<analysis::SweepModel>& models) {
  return JsonArrayOf(models, [](const analysis::SweepModel& m) {
    JsonObject member;
    member.Add("shift", m.shift)
        .Add("low", m.window.low)
        .Add("high", m.window.high)
        .Add("volume", m.volume)
        .Add("volumeFraction", m.volumeFractionPercent)
        .Add("surface", m.surface)
        .Add("surfaceToVolume", Ratio(static_cast<double>(m.surface), m.volume));
    return member;
  });
}

}  // namespace orvel::cli
