#include "platform/qt/FittingLabel.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyle>

namespace orvel::platform {

QFont FontFitting(const QFont& font, const QString& text, int width) {
  if (QFontMetrics(font).horizontalAdvance(text) <= width) return font;
  // Hinting keeps the advance from shrinking in proportion, so narrow step by step.
  QFont condensed = font;
  for (int stretch = 100 - 1; stretch >= kNarrowestStretch; --stretch) {
    condensed.setStretch(stretch);
    if (QFontMetrics(condensed).horizontalAdvance(text) <= width) break;
  }
  return condensed;
}

void FittingLabel::paintEvent(QPaintEvent* event) {
  const QString shown = text();
  if (wordWrap() || textFormat() == Qt::RichText || shown.contains(u'\n')) {
    QLabel::paintEvent(event);
    return;
  }
  const QRect box = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
  const QFont fitted = FontFitting(font(), shown, box.width());
  if (fitted == font()) {
    QLabel::paintEvent(event);
    return;
  }
  QPainter painter(this);
  painter.setFont(fitted);
  style()->drawItemText(&painter, box, QStyle::visualAlignment(layoutDirection(), alignment()), palette(), isEnabled(),
                        shown, foregroundRole());
}

}  // namespace orvel::platform
