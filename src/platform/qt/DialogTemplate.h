#pragma once
// Dialogs built from templates: one table per dialog (identifier, kind, caption, position and size
// in dialog units, initial state, accessibility) and one builder that makes the Qt widgets from it.
// Stands in for the resource templates and the dialog manager of the platform the viewer was
// designed on, so the viewer and the save dialog keep their control identifiers and geometry.
#include <QFont>
#include <QRect>
#include <QString>
#include <functional>
#include <map>
#include <vector>

class QAbstractButton;
class QWidget;

namespace orvel::platform {

enum class ControlKind {
  kPushButton,     // "default" in ControlRow::flags makes it the dialog's default button
  kPushRadio,      // push-like auto radio button
  kRadio,          // auto radio button
  kPushCheck,      // push-like auto check box
  kCheckTextLeft,  // auto check box, text on the left
  kStaticText,     // alignment from the flags
  kGroupBox,
  kFrame,  // static frame; "sunken" in the flags gives it a sunken edge
  kHorizontalTrackbar,
  kVerticalTrackbar,
  kReadOnlyEdit,  // multi-line read-only edit
};

namespace control {
constexpr unsigned kHidden = 1u << 0;
constexpr unsigned kDisabled = 1u << 1;
constexpr unsigned kGroupStart = 1u << 2;  // starts a group: ends the radio group before it
constexpr unsigned kDefault = 1u << 3;
constexpr unsigned kNoTicks = 1u << 4;
constexpr unsigned kRightAligned = 1u << 5;
constexpr unsigned kCentred = 1u << 6;
constexpr unsigned kSunken = 1u << 7;
}  // namespace control

struct ControlRow {
  int id;  // control identifier; 0 for controls without one
  ControlKind kind;
  const char* caption;      // "" for none; "&" marks the mnemonic
  int x, y, width, height;  // dialog units
  unsigned flags = 0;
  const char* tooltip = nullptr;
  const char* accessibleName = nullptr;  // controls without a caption of their own
};

struct DialogTable {
  const char* caption;
  int width, height;  // client area, dialog units
  std::vector<ControlRow> controls;
};

// Pixels per 4 horizontal and per 8 vertical dialog units, from the dialog font as the original
// platform measures it: the average width of the 52 Latin letters and the font's line height.
struct DialogBaseUnits {
  int x = 6;   // average character width, pixels
  int y = 13;  // character height, pixels
  static DialogBaseUnits OfFont(const QFont& font);
  QRect ToPixels(int x, int y, int width, int height) const;
};

// The dialog font: 8-point sans-serif.
QFont DialogFont();

class BuiltDialog;
// A factory may make a control of its own (a frame that paints a picture); returning null leaves
// the control to the builder.
using ControlFactory = std::function<QWidget*(const ControlRow& row, QWidget* parent)>;

class BuiltDialog {
 public:
  QWidget* Control(int id) const;
  QAbstractButton* Button(int id) const;
  const std::vector<int>& RadioGroupOf(int id) const;  // every radio button of id's group
  DialogBaseUnits baseUnits;

 private:
  friend BuiltDialog BuildDialog(QWidget*, const DialogTable&, const ControlFactory&);
  std::map<int, QWidget*> m_controls;
  std::map<int, std::vector<int>> m_radioGroups;  // member id -> the ids of its group
};

// Creates the controls of table as children of dialog: objectName "id" plus the identifier, tab
// order as listed, geometry from dialog units, initial hidden and disabled states, tooltips and
// accessible names. Group boxes are lowered behind the controls they frame.
BuiltDialog BuildDialog(QWidget* dialog, const DialogTable& table, const ControlFactory& factory = {});

// Auto radio behaviour, which a toolkit group cannot give while a program must also be able to
// release every button of a group: the clicked button is checked and the rest of its group
// released. Call it from the click handler before the dialog's own handling.
void CheckRadioButton(const BuiltDialog& built, int id);

}  // namespace orvel::platform
