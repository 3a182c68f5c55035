// The program's start: which dataset to show, then the viewer window until it closes.
#include <QApplication>
#include <QStringList>

#include "app/DatasetDiscovery.h"
#include "platform/Messages.h"
#include "platform/qt/UserDialogs.h"
#include "viewer/ViewerDialog.h"

namespace {

// The words of the command line joined with blanks: the one command line the program was
// designed for, so that a path with blanks works quoted or not.
std::string CommandLineOf(const QStringList& arguments) {
  return arguments.mid(1).join(QLatin1Char(' ')).toStdString();
}

bool ChooseDataset(const std::string& commandLine, orvel::Dataset& dataset) {
  if (!commandLine.empty())
    return orvel::OpenDatasetFromPath(orvel::PathFromCommandLine(commandLine), dataset) ==
           orvel::DiscoveryResult::kFound;
  orvel::platform::FileDialogRequest request;
  request.title = "Orvel: Open dataset";
  request.filterName = "Images (*.bmp *.jpg *.tif)";
  const auto chosen = orvel::platform::CurrentUserDialogs().AskOpenFile(nullptr, request);
  return chosen && orvel::DiscoverDataset(*chosen, dataset) == orvel::DiscoveryResult::kFound;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  orvel::platform::SetApplicationTitle("orvel");
  orvel::platform::ShowMessagesInMessageBoxes(nullptr);
  orvel::Dataset dataset;
  if (!ChooseDataset(CommandLineOf(application.arguments()), dataset)) return 0;
  orvel::viewer::ViewerDialog viewer(dataset);
  viewer.InitialiseViewer();
  viewer.exec();
  return 0;
}
