// --info: the dataset as discovered and the current slice as its reader left it.
#include <optional>
#include <vector>

#include "cli/AnalyzeSections.h"
#include "cli/Json.h"

namespace orvel::cli {

namespace {

std::string DatasetJson(const Dataset& dataset) {
  std::vector<std::int64_t> numbers(dataset.sliceNumbers.begin(), dataset.sliceNumbers.end());
  JsonObject json;
  json.Add("count", dataset.SliceCount())
      .Add("titles", dataset.sliceTitles)
      .Add("numbers", numbers)
      .Add("paths", dataset.slicePaths)
      .Add("preview", dataset.previewPath)
      .Add("previewKind", static_cast<int>(dataset.previewKind));
  return json.Text();
}

std::string SliceJson(const AnalyzeContext& context) {
  const SliceImage& slice = context.slice;
  JsonObject json;
  json.Add("index", context.sliceIndex)
      .Add("path", context.dataset.slicePaths[context.sliceIndex])
      .Add("width", slice.GetWidth())
      .Add("height", slice.GetHeight())
      .Add("bitsPerPixel", slice.GetBitCount())
      .Add("colours", slice.GetColourCount())
      .Add("xPelsPerMeter", slice.GetXPelsPerMeter())
      .Add("yPelsPerMeter", slice.GetYPelsPerMeter())
      .Add("lowerLevel", slice.GetLowerLevel())
      .Add("upperLevel", slice.GetUpperLevel());
  return json.Text();
}

const char* WindowSource(const AnalyzeContext& context) { return context.window->IsManual() ? "manual" : "automatic"; }

std::string WindowLine(const AnalyzeContext& context) {
  const std::optional<SampleWindow> window = context.window ? context.window->Current() : std::nullopt;
  if (!window) return "window: none\r\n";
  return "window: " + WindowText(*window) + " (" + WindowSource(context) + ")\r\n";
}

std::string InfoText(const AnalyzeContext& context) {
  const Dataset& dataset = context.dataset;
  const SliceImage& slice = context.slice;
  std::string text = "dataset: " + std::to_string(dataset.SliceCount()) + " slices, " + dataset.sliceTitles.front() +
                     " .. " + dataset.sliceTitles.back() + "\r\n";
  text += "preview: " + (dataset.previewPath.empty() ? std::string("none") : dataset.previewPath) + " (kind " +
          std::to_string(dataset.previewKind) + ")\r\n";
  text += "slice " + std::to_string(context.sliceIndex) + ": " + dataset.slicePaths[context.sliceIndex] + "\r\n";
  text += "size: " + std::to_string(slice.GetWidth()) + " x " + std::to_string(slice.GetHeight()) + ", " +
          std::to_string(slice.GetBitCount()) + " bits per pixel, " + std::to_string(slice.GetColourCount()) +
          " colours\r\n";
  text += "resolution: " + std::to_string(slice.GetXPelsPerMeter()) + " x " + std::to_string(slice.GetYPelsPerMeter()) +
          " pixels per metre\r\n";
  text += "levels: " + std::to_string(slice.GetLowerLevel()) + " " + std::to_string(slice.GetUpperLevel()) + "\r\n";
  return text + WindowLine(context);
}

}  // namespace

std::string WindowJson(const AnalyzeContext& context) {
  const std::optional<SampleWindow> window = context.window ? context.window->Current() : std::nullopt;
  JsonObject json;
  if (window) json.Add("low", window->low).Add("high", window->high).Add("source", WindowSource(context));
  else json.AddNull("low").AddNull("high").Add("source", "none");  // the same CSV columns for every dataset
  return json.Text();
}

SectionResult RunInfoSection(const AnalyzeContext& context) {
  JsonObject members;
  members.AddRaw("dataset", DatasetJson(context.dataset))
      .AddRaw("slice", SliceJson(context))
      .AddRaw("window", WindowJson(context));
  return {InfoText(context), members.Members()};
}

}  // namespace orvel::cli
