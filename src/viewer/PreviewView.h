#pragma once
// The preview frame: the dataset's preview image fitted into its drawn rectangle, the red
// current-slice marker of side previews and the blue lines of the two selection limits.
#include <optional>
#include <vector>

#include "viewer/PictureView.h"

namespace orvel::viewer {

struct PreviewMarks {
  int left = 0, right = 0;        // client x of the marks' ends
  std::optional<int> currentRow;  // client row of the current-slice marker (red)
  std::vector<int> rangeRows;     // client rows of the bottom and top limits (blue)
};

class PreviewView : public PictureView {
 public:
  explicit PreviewView(QWidget* parent) : PictureView(parent) {}
  void SetMarks(const PreviewMarks& marks);
  const PreviewMarks& Marks() const { return m_marks; }

 protected:
  void PaintOver(QPainter& painter) override;

 private:
  PreviewMarks m_marks;
};

}  // namespace orvel::viewer
