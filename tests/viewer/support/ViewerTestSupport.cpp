#include "viewer/support/ViewerTestSupport.h"

#include <QWidget>
#include <QtTest>
#include <cstdio>

#include "app/DatasetDiscovery.h"
#include "image/BmpFile.h"
#include "image/ScannerTiff.h"
#include "image/SliceImage.h"

namespace orvel::test {

int SlicePixel(int x, int y, int slice) { return (x + 2 * y + 16 * slice) & 0xFF; }

namespace {

SliceImage MakeImage(int width, int height, int bits, int slice) {
  SliceImage image;
  image.Create(width, height, bits, false);
  image.SetXPelsPerMeter(100000);
  image.SetYPelsPerMeter(100000);
  const int bytes = bits / 8;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = image.GetBits() + static_cast<std::size_t>(height - 1 - y) * image.GetRowBytes();
    for (int x = 0; x < width; ++x)
      for (int b = 0; b < bytes; ++b) row[x * bytes + b] = static_cast<std::uint8_t>(SlicePixel(x, y, slice) + 40 * b);
  }
  if (bits == 8) {
    std::uint8_t* table = image.GetColourTable();
    for (int i = 0; i < 256; ++i) table[4 * i] = table[4 * i + 1] = table[4 * i + 2] = static_cast<std::uint8_t>(i);
    image.SetOriginalColours(std::vector<std::uint8_t>(table, table + 1024));
  }
  return image;
}

void Save(const SliceImage& image, const std::string& format, const std::string& path) {
  bool saved = false;
  if (format == "bmp") saved = SaveBmpFile(image, path);
  else if (format == "tif") saved = WriteScannerTiff(image, path);
  else if (format == "jpg") saved = image.WriteJpeg(path, 95);
  QVERIFY2(saved, path.c_str());
}

}  // namespace

Dataset WriteDataset(const TemporaryDirectory& dir, const DatasetOptions& options) {
  for (int i = 0; i < options.slices; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "s%04d.%s", i, options.format.c_str());
    Save(MakeImage(options.width, options.height, options.bits, i), options.format, dir.File(name));
  }
  if (options.preview != Preview::kNone) {
    // A side view: one row per slice number, wider than high.
    const std::string name = (options.preview == Preview::kSide ? "s_SPR." : "s_VPR.") + options.format;
    Save(MakeImage(80, 40, 8, 3), options.format, dir.File(name));
  }
  Dataset dataset;
  const std::string first = dir.File("s0000." + options.format);
  if (DiscoverDataset(first, dataset) != DiscoveryResult::kFound) QTest::qFail("no dataset", __FILE__, __LINE__);
  return dataset;
}

void DamageSlice(const Dataset& dataset, int index) {
  WriteFile(dataset.slicePaths[index], std::string("BM and then nothing that any reader accepts"));
}

class ViewerTestScope::Dialogs : public platform::UserDialogs {
 public:
  void ShowMessageBox(QWidget*, const std::string& text, const std::string& caption) override {
    messages.push_back({text, caption});
  }
  std::optional<std::string> AskOpenFile(QWidget*, const platform::FileDialogRequest& request) override {
    openRequests.push_back(request);
    return openAnswer;
  }
  std::optional<std::string> AskSaveFile(QWidget*, const platform::FileDialogRequest&) override { return {}; }

  std::vector<platform::Message> messages;
  std::vector<platform::FileDialogRequest> openRequests;
  std::optional<std::string> openAnswer;
};

ViewerTestScope::ViewerTestScope() : m_previousConfig(qgetenv("XDG_CONFIG_HOME")) {
  auto dialogs = std::make_unique<Dialogs>();
  m_dialogs = dialogs.get();
  platform::SetUserDialogs(std::move(dialogs));
  platform::ShowMessagesInMessageBoxes(nullptr);
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(m_config.Path()));
}

ViewerTestScope::~ViewerTestScope() {
  platform::SetMessageSink({});
  platform::SetUserDialogs(nullptr);
  qputenv("XDG_CONFIG_HOME", m_previousConfig);
}

const std::vector<platform::Message>& ViewerTestScope::MessageBoxes() const { return m_dialogs->messages; }

std::vector<platform::FileDialogRequest> ViewerTestScope::OpenRequests() const { return m_dialogs->openRequests; }

void ViewerTestScope::AnswerOpenFile(std::optional<std::string> path) { m_dialogs->openAnswer = std::move(path); }

std::string ViewerTestScope::SettingsPath() const { return m_config.File("orvel.ini"); }

std::string ViewerTestScope::SettingsText() const {
  std::FILE* file = std::fopen(SettingsPath().c_str(), "rb");
  if (!file) return {};
  std::string text;
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, got);
  std::fclose(file);
  return text;
}

QImage Grab(QWidget* widget) { return widget->grab().toImage().convertToFormat(QImage::Format_RGB32); }

}  // namespace orvel::test
