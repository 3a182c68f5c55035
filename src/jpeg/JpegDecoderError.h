#pragma once
// The decoder's one error path: a failure deep inside a scan throws DecodeError with its status,
// and the codec's public operation catches it and returns the status.
#include "jpeg/JpegStatus.h"

namespace orvel::jpeg {

struct DecodeError {
  int status;
};

[[noreturn]] inline void Fail(int status) { throw DecodeError{status}; }

}  // namespace orvel::jpeg
