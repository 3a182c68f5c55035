#pragma once
// The graph frame: shows the picture of the line profile or the size distribution that Redraw
// rendered for its client size.
#include <QImage>

#include <QFrame>

namespace orvel::viewer {

class GraphView : public QFrame {
 public:
  explicit GraphView(QWidget* parent) : QFrame(parent) {}
  void SetGraph(const QImage& graph);
  const QImage& Graph() const { return m_graph; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage m_graph;
};

}  // namespace orvel::viewer
