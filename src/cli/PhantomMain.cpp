#include <iostream>

#include "cli/PhantomCommand.h"
#include "platform/Messages.h"

int main(int argc, char** argv) {
  orvel::platform::SetApplicationTitle("orvel-phantom");
  return orvel::cli::RunPhantom(argc, argv, std::cout, std::cerr);
}
