#include "viewer/PreviewView.h"

#include <QPainter>

namespace orvel::viewer {

void PreviewView::SetMarks(const PreviewMarks& marks) {
  m_marks = marks;
  update();
}

void PreviewView::PaintOver(QPainter& painter) {
  if (m_marks.currentRow) {
    painter.setPen(QPen(QColor(255, 0, 0), 1));
    painter.drawLine(m_marks.left, *m_marks.currentRow, m_marks.right, *m_marks.currentRow);
  }
  painter.setPen(QPen(QColor(0, 0, 255), 1));
  for (int row : m_marks.rangeRows) painter.drawLine(m_marks.left, row, m_marks.right, row);
}

}  // namespace orvel::viewer
