#include "viewer/GraphView.h"

#include <QPainter>

namespace orvel::viewer {

void GraphView::SetGraph(const QImage& graph) {
  m_graph = graph;
  update();
}

void GraphView::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  if (m_graph.isNull()) return;
  QPainter painter(this);
  painter.drawImage(contentsRect().topLeft(), m_graph);
}

}  // namespace orvel::viewer
