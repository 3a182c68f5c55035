#include <cstdio>

#include "cli/Phantom.h"
#include "platform/Messages.h"

int main(int argc, char** argv) {
  orvel::platform::SetApplicationTitle("orvel-phantom");
  orvel::cli::PhantomOptions options;
  std::string error;
  if (!orvel::cli::ParsePhantomOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "orvel-phantom: %s; usage: orvel-phantom OUTDIR [--format bmp|tif|jpg] "
                         "[--slices N] [--size WxH] [--step S]\n", error.c_str());
    return 2;
  }
  if (!orvel::cli::WritePhantom(options, error)) {
    std::fprintf(stderr, "orvel-phantom: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
