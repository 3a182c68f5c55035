// The dialog template builder: geometry from dialog units, identifiers, groups and initial states.
#include <QAbstractButton>
#include <QAccessible>
#include <QDialog>
#include <QSlider>
#include <QtTest>

#include "platform/qt/DialogTemplate.h"
#include "platform/qt/FittingLabel.h"
#include "viewer/ViewerTemplate.h"

using namespace orvel::platform;

class DialogTemplateTest : public QObject {
  Q_OBJECT

 private slots:
  void PlacesControlsInDialogUnitsOfTheFont() {
    QDialog dialog;
    const DialogTable table{"", 100, 50, {{7, ControlKind::kPushButton, "OK", 10, 20, 40, 14}}};
    const BuiltDialog built = BuildDialog(&dialog, table);
    const DialogBaseUnits units = built.baseUnits;
    QVERIFY(units.x > 0 && units.y > 0);
    // Horizontal units are quarters of the average character width, vertical eighths of the height,
    // rounded to the nearest pixel.
    QCOMPARE(built.Control(7)->geometry(),
             QRect((10 * units.x + 2) / 4, (20 * units.y + 4) / 8, (40 * units.x + 2) / 4, (14 * units.y + 4) / 8));
    QCOMPARE(dialog.size(), QSize((100 * units.x + 2) / 4, (50 * units.y + 4) / 8));
    QCOMPARE(built.Control(7)->objectName(), QStringLiteral("id7"));
  }

  void RadioGroupsEndWhereTheNextGroupStarts() {
    QDialog dialog;
    const DialogTable table{"",
                            100,
                            100,
                            {{1, ControlKind::kPushRadio, "A", 0, 0, 10, 10, control::kGroupStart},
                             {2, ControlKind::kPushRadio, "B", 0, 0, 10, 10},
                             {3, ControlKind::kStaticText, "", 0, 0, 10, 10, control::kGroupStart},
                             {4, ControlKind::kPushRadio, "C", 0, 0, 10, 10}}};
    const BuiltDialog built = BuildDialog(&dialog, table);
    QCOMPARE(built.RadioGroupOf(1), (std::vector<int>{1, 2}));
    QCOMPARE(built.RadioGroupOf(4), (std::vector<int>{4}));
    CheckRadioButton(built, 2);
    QVERIFY(!built.Button(1)->isChecked());
    QVERIFY(built.Button(2)->isChecked());
    QVERIFY(!built.Button(4)->isChecked());
    built.Button(4)->setChecked(true);  // another group: releases nothing here
    QVERIFY(built.Button(2)->isChecked());
    built.Button(2)->setChecked(false);  // the program may release every button of a group
    QVERIFY(!built.Button(1)->isChecked() && !built.Button(2)->isChecked());
    QCOMPARE(QAccessible::queryAccessibleInterface(built.Button(1))->role(), QAccessible::RadioButton);
  }

  void VerticalTrackbarsHaveTheirMinimumAtTheTop() {
    QDialog dialog;
    const DialogTable table{
        "",
        100,
        100,
        {{5, ControlKind::kVerticalTrackbar, "", 0, 0, 10, 90, control::kHidden | control::kDisabled, "tip", "Slice"}}};
    const BuiltDialog built = BuildDialog(&dialog, table);
    auto* slider = qobject_cast<QSlider*>(built.Control(5));
    QVERIFY(slider->invertedAppearance());
    QVERIFY(slider->isHidden());
    QVERIFY(!slider->isEnabled());
    QCOMPARE(slider->toolTip(), QStringLiteral("tip"));
    QCOMPARE(slider->accessibleName(), QStringLiteral("Slice"));
  }

  // The level captions are wider than their boxes in the wide fonts of Linux desktops: each is
  // drawn condensed to fit rather than cut off, and a caption that fits keeps its font.
  void LevelCaptionsFitTheirBoxes_data() {
    QTest::addColumn<QString>("caption");
    for (const char* caption : {"brightness", "contrast", "colour", "range", "level 1", "level 2"})
      QTest::addRow("%s", caption) << caption;
  }
  void LevelCaptionsFitTheirBoxes() {
    QFETCH(QString, caption);
    QDialog dialog;
    const BuiltDialog built = BuildDialog(&dialog, orvel::viewer::ViewerTemplate());
    for (const int id : {orvel::viewer::id::kLowerLevelCaption, orvel::viewer::id::kUpperLevelCaption}) {
      auto* label = qobject_cast<FittingLabel*>(built.Control(id));
      QVERIFY(label != nullptr);
      const QFont drawn = FontFitting(label->font(), caption, label->contentsRect().width());
      QVERIFY2(QFontMetrics(drawn).horizontalAdvance(caption) <= label->contentsRect().width(), qPrintable(caption));
      if (QFontMetrics(label->font()).horizontalAdvance(caption) <= label->contentsRect().width())
        QCOMPARE(drawn, label->font());
    }
  }
};

QTEST_MAIN(DialogTemplateTest)
#include "DialogTemplate_test.moc"
