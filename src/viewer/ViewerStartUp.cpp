#include "viewer/ViewerStartUp.h"

#include "app/DatasetDiscovery.h"
#include "platform/qt/UserDialogs.h"

namespace orvel::viewer {

std::string CommandLineOf(const std::vector<std::string>& arguments) {
  std::string line;
  for (std::size_t i = 1; i < arguments.size(); ++i) line += (i > 1 ? " " : "") + arguments[i];
  return line;
}

bool ChooseDataset(const std::string& commandLine, Dataset& dataset) {
  if (!commandLine.empty())
    return OpenDatasetFromPath(PathFromCommandLine(commandLine), dataset) == DiscoveryResult::kFound;
  platform::FileDialogRequest request;
  request.title = "Orvel: Open dataset";
  // Upper-case extensions are slices too, and some file dialogs match patterns case-sensitively.
  request.filterName = "Images (*.bmp *.jpg *.jpeg *.tif *.tiff *.png *.BMP *.JPG *.JPEG *.TIF *.TIFF *.PNG)";
  const auto chosen = platform::CurrentUserDialogs().AskOpenFile(nullptr, request);
  return chosen && DiscoverDataset(*chosen, dataset) == DiscoveryResult::kFound;
}

}  // namespace orvel::viewer
