#include "platform/qt/DialogTemplate.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QWidget>
#include <algorithm>

#include "platform/qt/DialogButtonAccessible.h"
#include "platform/qt/FittingLabel.h"
#include "platform/qt/TemplateControls.h"
#include "platform/qt/TrackbarAccessible.h"

namespace orvel::platform {

DialogBaseUnits DialogBaseUnits::OfFont(const QFont& font) {
  const QFontMetrics metrics(font);
  const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  DialogBaseUnits units;
  units.x = (letters / 26 + 1) / 2;  // the platform's rounding of the average over 52 letters
  units.y = metrics.height();
  return units;
}

namespace {

// MulDiv: the product over the divisor, rounded half away from zero.
int ScaleRounded(int value, int numerator, int denominator) {
  const long long product = static_cast<long long>(value) * numerator;
  const long long half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

}  // namespace

QRect DialogBaseUnits::ToPixels(int left, int top, int width, int height) const {
  return QRect(ScaleRounded(left, x, 4), ScaleRounded(top, y, 8), ScaleRounded(width, x, 4),
               ScaleRounded(height, y, 8));
}

QFont DialogFont() {
  QFont font(QStringLiteral("Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(8);
  return font;
}

QWidget* BuiltDialog::Control(int id) const {
  const auto found = m_controls.find(id);
  return found == m_controls.end() ? nullptr : found->second;
}

QAbstractButton* BuiltDialog::Button(int id) const { return qobject_cast<QAbstractButton*>(Control(id)); }

const std::vector<int>& BuiltDialog::RadioGroupOf(int id) const {
  static const std::vector<int> kNone;
  const auto found = m_radioGroups.find(id);
  return found == m_radioGroups.end() ? kNone : found->second;
}

namespace {

QSlider* MakeTrackbar(Qt::Orientation orientation, unsigned flags, QWidget* parent) {
  auto* slider = new TemplateTrackbar(orientation, parent);
  slider->setTickPosition(flags & control::kNoTicks ? QSlider::NoTicks : QSlider::TicksBelow);
  if (orientation == Qt::Vertical) {
    // The platform's vertical trackbar has its minimum at the top, where Up moves the thumb; the
    // mouse wheel turned up moves it up too.
    slider->setInvertedAppearance(true);
    slider->setInvertedControls(true);
  }
  return slider;
}

QPushButton* MakePushLike(const QString& caption, QWidget* parent) {
  auto* button = new TemplatePushButton(caption, parent);
  button->setCheckable(true);
  button->setAutoDefault(false);
  return button;
}

QLabel* MakeStaticText(const QString& caption, unsigned flags, QWidget* parent) {
  auto* label = new FittingLabel(caption, parent);
  Qt::Alignment alignment = Qt::AlignLeft;
  if (flags & control::kRightAligned) alignment = Qt::AlignRight;
  if (flags & control::kCentred) alignment = Qt::AlignHCenter;
  label->setAlignment(alignment | Qt::AlignTop);
  return label;
}

QWidget* MakeControl(const ControlRow& row, QWidget* parent) {
  const QString caption = QString::fromUtf8(row.caption);
  switch (row.kind) {
    case ControlKind::kPushButton: {
      auto* button = new TemplatePushButton(caption, parent);
      button->setAutoDefault(false);
      button->setDefault(row.flags & control::kDefault);
      return button;
    }
    case ControlKind::kPushRadio: {
      QPushButton* button = MakePushLike(caption, parent);
      button->setAutoExclusive(true);  // what makes assistive technology call it a radio button
      return button;
    }
    case ControlKind::kPushCheck: return MakePushLike(caption, parent);
    case ControlKind::kRadio: return new TemplateRadioButton(caption, parent);
    case ControlKind::kCheckTextLeft: {
      auto* check = new TemplateCheckBox(caption, parent);
      check->setLayoutDirection(Qt::RightToLeft);
      return check;
    }
    case ControlKind::kStaticText: return MakeStaticText(caption, row.flags, parent);
    case ControlKind::kGroupBox: return new QGroupBox(caption, parent);
    case ControlKind::kFrame: {
      auto* frame = new QFrame(parent);
      if (row.flags & control::kSunken) frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      return frame;
    }
    case ControlKind::kHorizontalTrackbar: return MakeTrackbar(Qt::Horizontal, row.flags, parent);
    case ControlKind::kVerticalTrackbar: return MakeTrackbar(Qt::Vertical, row.flags, parent);
    case ControlKind::kReadOnlyEdit: {
      auto* edit = new QPlainTextEdit(parent);
      edit->setReadOnly(true);
      return edit;
    }
  }
  return nullptr;
}

bool IsRadio(ControlKind kind) { return kind == ControlKind::kPushRadio || kind == ControlKind::kRadio; }

// Radio groups run from a control that starts a group to the next one that does.
std::map<int, std::vector<int>> RadioGroups(const DialogTable& table) {
  std::vector<std::vector<int>> groups(1);
  for (const ControlRow& control : table.controls) {
    if (control.flags & control::kGroupStart) groups.emplace_back();
    if (IsRadio(control.kind)) groups.back().push_back(control.id);
  }
  std::map<int, std::vector<int>> byMember;
  for (const auto& group : groups)
    for (int id : group) byMember[id] = group;
  return byMember;
}

// Arrow keys inside a radio group, as in the platform's dialogs: the focus moves to the next
// button of the group that can take it, in template order and round, and that button is clicked,
// as an auto radio button is when the keyboard moves onto it.
class RadioGroupKeys : public QObject {
 public:
  RadioGroupKeys(QObject* parent, std::map<int, std::vector<int>> groups, std::map<int, QWidget*> controls)
      : QObject(parent), m_groups(std::move(groups)), m_controls(std::move(controls)) {
    for (const auto& [id, group] : m_groups) m_controls.at(id)->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    int step = 0;
    if (key == Qt::Key_Down || key == Qt::Key_Right) step = 1;
    if (key == Qt::Key_Up || key == Qt::Key_Left) step = -1;
    if (step == 0) return false;
    const int id = watched->objectName().mid(2).toInt();
    const std::vector<int>& group = m_groups.at(id);
    const auto count = static_cast<int>(group.size());
    const int at = static_cast<int>(std::find(group.begin(), group.end(), id) - group.begin());
    for (int offset = 1; offset < count; ++offset) {
      const int next = ((at + step * offset) % count + count) % count;
      auto* button = qobject_cast<QAbstractButton*>(m_controls.at(group[next]));
      if (!button || !button->isVisible() || !button->isEnabled()) continue;
      button->setFocus(Qt::TabFocusReason);
      if (!button->isChecked()) button->click();
      return true;
    }
    return true;
  }

 private:
  std::map<int, std::vector<int>> m_groups;
  std::map<int, QWidget*> m_controls;
};

}  // namespace

BuiltDialog BuildDialog(QWidget* dialog, const DialogTable& table, const ControlFactory& factory) {
  InstallDialogButtonAccessibility();
  InstallTrackbarAccessibility();
  BuiltDialog built;
  dialog->setFont(DialogFont());
  built.baseUnits = DialogBaseUnits::OfFont(dialog->font());
  dialog->setWindowTitle(QString::fromUtf8(table.caption));
  dialog->resize(built.baseUnits.ToPixels(0, 0, table.width, table.height).size());

  QWidget* previous = nullptr;
  std::vector<QWidget*> groupBoxes;
  for (const ControlRow& control : table.controls) {
    QWidget* widget = factory ? factory(control, dialog) : nullptr;
    if (!widget) widget = MakeControl(control, dialog);
    if (control.id != 0) widget->setObjectName(QStringLiteral("id%1").arg(control.id));
    widget->setGeometry(built.baseUnits.ToPixels(control.x, control.y, control.width, control.height));
    if (control.tooltip) widget->setToolTip(QString::fromUtf8(control.tooltip));
    if (control.accessibleName) widget->setAccessibleName(QString::fromUtf8(control.accessibleName));
    widget->setEnabled(!(control.flags & control::kDisabled));
    widget->setVisible(!(control.flags & control::kHidden));
    if (control.kind == ControlKind::kGroupBox) groupBoxes.push_back(widget);
    if (previous) QWidget::setTabOrder(previous, widget);
    previous = widget;
    if (control.id != 0) built.m_controls[control.id] = widget;
  }
  for (QWidget* box : groupBoxes) box->lower();
  built.m_radioGroups = RadioGroups(table);
  // Each radio group in a button group of its own, so that buttons of different groups do not
  // release each other; not exclusive, so that the program can release every button of a group.
  // CheckRadioButton keeps one checked when the user clicks.
  std::map<int, QButtonGroup*> buttonGroups;
  for (const auto& [id, group] : built.m_radioGroups) {
    QButtonGroup*& buttonGroup = buttonGroups[group.front()];
    if (!buttonGroup) {
      buttonGroup = new QButtonGroup(dialog);
      buttonGroup->setExclusive(false);
    }
    buttonGroup->addButton(built.Button(id));
  }
  new RadioGroupKeys(dialog, built.m_radioGroups, built.m_controls);
  return built;
}

void CheckRadioButton(const BuiltDialog& built, int id) {
  for (int member : built.RadioGroupOf(id))
    if (QAbstractButton* button = built.Button(member)) button->setChecked(member == id);
}

}  // namespace orvel::platform
