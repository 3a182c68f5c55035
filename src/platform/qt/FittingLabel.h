#pragma once
// The static text of dialogs built from templates. Template boxes are sized in dialog units for
// the narrower fonts the layout was drawn with; a caption that is wider than its box in the font
// at hand is drawn condensed, down to kNarrowestStretch, instead of losing its last letters.
#include <QFont>
#include <QLabel>

namespace orvel::platform {

inline constexpr int kNarrowestStretch = 75;  // percent of the font's normal width

// font, condensed just enough for one line of text to fit width pixels (not below
// kNarrowestStretch); font itself when the text fits already.
QFont FontFitting(const QFont& font, const QString& text, int width);

class FittingLabel : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace orvel::platform
