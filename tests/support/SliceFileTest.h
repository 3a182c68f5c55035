#pragma once
// The fixture of the tests that read slice files they make themselves: a folder of the test's own,
// and the messages shown while the test runs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ImageLoader.h"
#include "support/TestSupport.h"

namespace orvel::test {

class SliceFileTest : public ::testing::Test {
 protected:
  // Writes bytes as the slice file of this name (its extension gives the format) and reads it.
  LoadStatus LoadAs(const std::string& name, const std::vector<unsigned char>& bytes, SliceImage& image) {
    WriteFile(m_dir.File(name), bytes);
    return LoadImageFile(m_dir.File(name), image);
  }

  TemporaryDirectory m_dir;
  MessageCapture m_messages;
};

}  // namespace orvel::test
