#pragma once
// Progress of a long command-line run (--3d, --cut) on one updating line of standard error:
// "layer 57 of 200, 48.2 slices/s, 3 s left". Drawn only when standard error is a terminal and
// only once the run has lasted a second, so short runs and scripted output stay clean.
#include <functional>
#include <mutex>
#include <ostream>
#include <string>

namespace orvel::cli {

// The line after layer (1-based) of layers was done, seconds after the run started.
std::string FormatProgress(int layer, int layers, double seconds);

// Whole seconds rounded up: "3 s", "2 min 05 s", "1 h 02 min".
std::string FormatDuration(double seconds);

class ProgressLine {
 public:
  using Clock = std::function<double()>;  // seconds on a clock that never goes back
  static double SteadySeconds();

  // terminal: where the line is drawn, or null to draw nothing.
  explicit ProgressLine(std::ostream* terminal, Clock clock = SteadySeconds);

  void Start();                           // a new run: the time counts from here
  void LayerDone(int layer, int layers);  // draws when due: after a second, then ten times a second
  void Clear();                           // blanks the line if it was drawn and puts the cursor back
  // Blanks the line, then calls print, which writes whole lines to the same terminal; the next
  // layer draws the line again below them. Any thread may call it.
  void ShowAbove(const std::function<void()>& print);

 private:
  void BlankLine();

  std::mutex m_lock;  // readers on other threads report their failures through ShowAbove
  std::ostream* m_terminal;
  Clock m_clock;
  double m_start = 0;       // seconds, m_clock's reading at Start
  double m_drawn = -1;      // seconds of the last drawing, negative while nothing is drawn
  std::size_t m_width = 0;  // characters of the line on the terminal
};

// The progress of one section: starts the line's time, reports layers, and blanks the line when
// the section ends, finished or failed, so that a result or an error message starts clean.
class SectionProgress {
 public:
  SectionProgress(ProgressLine* line, int layers) : m_line(line), m_layers(layers) {
    if (m_line) m_line->Start();
  }
  ~SectionProgress() {
    if (m_line) m_line->Clear();
  }
  SectionProgress(const SectionProgress&) = delete;
  SectionProgress& operator=(const SectionProgress&) = delete;

  void LayerDone(int layer) {
    if (m_line) m_line->LayerDone(layer, m_layers);
  }

 private:
  ProgressLine* m_line;
  int m_layers;
};

}  // namespace orvel::cli
