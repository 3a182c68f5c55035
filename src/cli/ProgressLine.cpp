#include "cli/ProgressLine.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <utility>

namespace orvel::cli {

namespace {

constexpr double kFirstDrawSeconds = 1.0;  // runs shorter than this show nothing
constexpr double kRedrawSeconds = 0.1;     // a faster flicker could not be read anyway

}  // namespace

std::string FormatDuration(double seconds) {
  const long long whole = static_cast<long long>(std::ceil(std::max(seconds, 0.0)));
  char text[48];
  if (whole < 60) std::snprintf(text, sizeof text, "%lld s", whole);
  else if (whole < 3600) std::snprintf(text, sizeof text, "%lld min %02lld s", whole / 60, whole % 60);
  else std::snprintf(text, sizeof text, "%lld h %02lld min", whole / 3600, whole / 60 % 60);
  return text;
}

std::string FormatProgress(int layer, int layers, double seconds) {
  const double rate = seconds > 0 ? layer / seconds : 0;
  const std::string left = rate > 0 ? FormatDuration((layers - layer) / rate) : "unknown time";
  char text[96];
  std::snprintf(text, sizeof text, rate >= 100 ? "layer %d of %d, %.0f slices/s, " : "layer %d of %d, %.1f slices/s, ",
                layer, layers, rate);
  return text + left + " left";
}

double ProgressLine::SteadySeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

ProgressLine::ProgressLine(std::ostream* terminal, Clock clock) : m_terminal(terminal), m_clock(std::move(clock)) {}

void ProgressLine::Start() {
  std::lock_guard<std::mutex> guard(m_lock);
  BlankLine();
  m_start = m_clock();
}

void ProgressLine::LayerDone(int layer, int layers) {
  if (!m_terminal) return;
  std::lock_guard<std::mutex> guard(m_lock);
  const double now = m_clock() - m_start;
  if (now < kFirstDrawSeconds || (m_drawn >= 0 && now - m_drawn < kRedrawSeconds && layer < layers)) return;
  const std::string text = FormatProgress(layer, layers, now);
  // Blanks over the rest of a longer previous line; one write, so the line never shows half-drawn.
  std::string line = "\r" + text;
  if (m_width > text.size()) line.append(m_width - text.size(), ' ');
  *m_terminal << line << std::flush;
  m_width = text.size();
  m_drawn = now;
}

void ProgressLine::Clear() {
  std::lock_guard<std::mutex> guard(m_lock);
  BlankLine();
}

void ProgressLine::ShowAbove(const std::function<void()>& print) {
  std::lock_guard<std::mutex> guard(m_lock);
  BlankLine();
  print();
}

void ProgressLine::BlankLine() {
  if (m_terminal && m_width > 0) *m_terminal << "\r" << std::string(m_width, ' ') << "\r" << std::flush;
  m_width = 0;
  m_drawn = -1;
}

}  // namespace orvel::cli
