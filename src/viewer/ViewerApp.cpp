// The program's start: which dataset to show, then the viewer window until it closes.
#include <QApplication>

#include "platform/Messages.h"
#include "platform/qt/UserDialogs.h"
#include "viewer/ViewerDialog.h"
#include "viewer/ViewerStartUp.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  orvel::platform::SetApplicationTitle("orvel");
  orvel::platform::ShowMessagesInMessageBoxes(nullptr);
  orvel::Dataset dataset;
  // argc and argv hold what Qt left of the arguments once it took its own options.
  const std::vector<std::string> arguments(argv, argv + argc);
  if (!orvel::viewer::ChooseDataset(orvel::viewer::CommandLineOf(arguments), dataset)) return 0;
  orvel::viewer::ViewerDialog viewer(dataset);
  viewer.InitialiseViewer();
  viewer.exec();
  return 0;
}
