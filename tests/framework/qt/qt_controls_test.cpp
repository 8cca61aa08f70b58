// The Qt backend's widgets, driven as a user drives them (QTest keys and clicks) on Qt's
// offscreen platform: what they hold, show and report.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QCheckBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolTip>

#include "framework/controls.h"
#include "framework/qt/status_bar_widget.h"
#include "tests/framework/qt/qt_test_support.h"

namespace vantor {

namespace {

constexpr THKInvalidKeys PairsAndTriple = HKInvalidBit(hcShiftCtrl) | HKInvalidBit(hcShiftAlt) |
                                          HKInvalidBit(hcCtrlAlt) | HKInvalidBit(hcShiftCtrlAlt);

TBitmap32 Solid(int Width, int Height, std::uint32_t Argb) {
  return TBitmap32{Width, Height, std::vector<std::uint32_t>(std::size_t(Width) * Height, Argb)};
}

// A window laid out as the program's: a field with its check box, a button, a label, the
// picture and the five-panel status bar.
class QtControlsTest : public ::testing::Test {
 protected:
  QtControlsTest() {
    Form->SetCaption("Vantor Microphone Settings");
    Form->SetClientSize(330, 289);
    Form->SetFont("Tahoma", 12);
    Label->SetBounds(23, 235, 131, 14);
    Label->SetCaption("MUTE WHEN NOT PTT:");
    Image->SetBounds(39, 24, 256, 169);
    Image->SetPicture(Solid(250, 166, 0xFF102030));
    Box->SetBounds(100, 199, 15, 17);
    Box->SetTabOrder(1);
    Box->OnClick = [this](TObject*) { ++Clicks; };
    Button->SetBounds(210, 227, 78, 33);
    Button->SetTabOrder(4);
    Button->SetCaption("Save");
    Button->OnClick = [this](TObject*) { ++Presses; };
    Field->SetBounds(60, 199, 35, 22);
    Field->SetTabOrder(6);
    Field->SetInvalidKeys(PairsAndTriple);
    Field->SetModifiers(0);
    Field->SetHotKey(113);
    Field->OnChange = [this](TObject* Sender) {
      EXPECT_EQ(Sender, Field);
      ++Changes;
    };
    Bar->SetBounds(0, 270, 330, 19);
    Bar->AddPanel({50, taCenter, pbNone, "Status :", ""});
    Bar->AddPanel({100, taLeftJustify, pbLowered, "", "Connection"});
    Bar->AddPanel({55, taLeftJustify, pbLowered, "Version : ", ""});
    Bar->AddPanel({55, taLeftJustify, pbLowered, "", ""});
    Bar->AddPanel({50, taCenter, pbLowered, "", ""});
    Box->SetAccessibleName("Left button on");
    Field->SetAccessibleName("Left button key");
    Bar->SetAccessibleName("Status");
    Form->Show();
  }

  QLineEdit& Edit() const { return *static_cast<QLineEdit*>(QtWidgetOf(*Field)); }
  TStatusBarWidget& BarWidget() const { return *static_cast<TStatusBarWidget*>(QtWidgetOf(*Bar)); }

  std::unique_ptr<TApplication> App =
      MakeTestApplication({"", "", "", {Solid(16, 16, 0xFFFF0000)}});
  TForm* Form = App->CreateForm<TForm>();
  TLabel* Label = Form->MakeOwned<TLabel>();
  TImage* Image = Form->MakeOwned<TImage>();
  TCheckBox* Box = Form->MakeOwned<TCheckBox>();
  TButton* Button = Form->MakeOwned<TButton>();
  THotKey* Field = Form->MakeOwned<THotKey>();
  TStatusBar* Bar = Form->MakeOwned<TStatusBar>();
  int Changes = 0, Clicks = 0, Presses = 0;
};

TEST_F(QtControlsTest, TheWindowIsFixedWhiteCaptionedWithoutMaximiseAndCarriesTheIcon) {
  QWidget* Window = QtWidgetOf(*Form);
  ASSERT_NE(Window, nullptr);
  EXPECT_TRUE(Window->isVisible());
  EXPECT_EQ(Window->size(), QSize(330, 289));
  EXPECT_EQ(Window->minimumSize(), QSize(330, 289));
  EXPECT_EQ(Window->maximumSize(), QSize(330, 289));
  EXPECT_EQ(Window->windowTitle(), "Vantor Microphone Settings");
  EXPECT_FALSE(Window->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(Window->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_EQ(Window->palette().color(QPalette::Window), QColor(Qt::white));
  EXPECT_FALSE(Window->windowIcon().isNull());
  // Tahoma where installed, else the desktop's sans-serif, at 12 pixels either way.
  const QFontInfo Font(Window->font());
  EXPECT_EQ(Font.pixelSize(), 12);
  const bool HasTahoma = QFontDatabase::families().contains("Tahoma");
  EXPECT_EQ(Font.family(),
            HasTahoma ? QString("Tahoma")
                      : QFontInfo(QFontDatabase::systemFont(QFontDatabase::GeneralFont)).family());
  // The palette stays light: dark text on the white window.
  EXPECT_LT(Window->palette().color(QPalette::WindowText).lightness(), 100);
  EXPECT_EQ(QtWidgetOf(*Label)->geometry(), QRect(23, 235, 131, 14));
  EXPECT_EQ(static_cast<QLabel*>(QtWidgetOf(*Label))->text(), "MUTE WHEN NOT PTT:");
}

TEST_F(QtControlsTest, TypedKeysHoldTheWindowsValuesAndEachReportsOneChange) {
  const struct {
    Qt::Key Key;
    Qt::KeyboardModifiers Held;
    TShortCut Value;
    const char* Shown;
  } Cases[] = {
      {Qt::Key_F5, Qt::NoModifier, 116, "F5"},
      {Qt::Key_F12, Qt::NoModifier, 123, "F12"},
      {Qt::Key_F5, Qt::ShiftModifier, 0x2074, "Shift + F5"},
      {Qt::Key_F5, Qt::AltModifier, 0x8074, "Alt + F5"},
      {Qt::Key_F5, Qt::ControlModifier, 0x4074, "Ctrl + F5"},
      {Qt::Key_F5, Qt::ShiftModifier | Qt::ControlModifier, 116, "F5"},  // a refused pair
      {Qt::Key_F13, Qt::NoModifier, 0x7C, "F13"},
      {Qt::Key_A, Qt::NoModifier, 'A', "A"},
      {Qt::Key_7, Qt::NoModifier, '7', "7"},
      {Qt::Key_Exclam, Qt::ShiftModifier, 0x2000 | '1', "Shift + 1"},
      {Qt::Key_5, Qt::KeypadModifier, 0x65, "Num 5"},
      {Qt::Key_Left, Qt::NoModifier, 0x25, "Left"},    // extended flag dropped on read
      {Qt::Key_Eacute, Qt::NoModifier, 0xFF, ""},      // no Windows key: outside F1-F12
      {Qt::Key_Backspace, Qt::NoModifier, 0, "None"},  // clears, as on Windows
  };
  int Expected = 0;
  for (const auto& Case : Cases) {
    QTest::keyClick(&Edit(), Case.Key, Case.Held);
    EXPECT_EQ(Field->HotKey(), Case.Value) << Case.Shown;
    EXPECT_EQ(Edit().text(), Case.Shown);
    EXPECT_EQ(Changes, ++Expected) << Case.Shown;
  }
}

TEST_F(QtControlsTest, AModifierAloneIsShownWhileHeldButIsNoKeyAndNoChange) {
  // Single events, as X11 sends them: the state is the one before the event.
  const auto Send = [this](QEvent::Type Type, int Key, Qt::KeyboardModifiers State,
                           bool Repeat = false) {
    QKeyEvent Event(Type, Key, State, QString(), Repeat);
    QApplication::sendEvent(&Edit(), &Event);
  };
  Send(QEvent::KeyPress, Qt::Key_Shift, Qt::NoModifier);
  EXPECT_EQ(Edit().text(), "Shift + ");
  Send(QEvent::KeyPress, Qt::Key_Control, Qt::ShiftModifier);
  EXPECT_EQ(Edit().text(), "Ctrl + Shift + ");
  Send(QEvent::KeyRelease, Qt::Key_Control, Qt::ShiftModifier | Qt::ControlModifier);
  EXPECT_EQ(Edit().text(), "Shift + ");
  Send(QEvent::KeyRelease, Qt::Key_Shift, Qt::ShiftModifier);
  EXPECT_EQ(Edit().text(), "F2");
  EXPECT_EQ(Field->HotKey(), 113);
  EXPECT_EQ(Changes, 0);
  // A held key's repeats are no new choice.
  Send(QEvent::KeyPress, Qt::Key_F9, Qt::NoModifier);
  Send(QEvent::KeyPress, Qt::Key_F9, Qt::NoModifier, true);
  EXPECT_EQ(Field->HotKey(), 120);
  EXPECT_EQ(Changes, 1);
}

TEST_F(QtControlsTest, ValuesFromCodeRaiseNoChangeAnd252ShowsAnEmptyField) {
  const struct {
    TShortCut Written, Read;
    const char* Shown;
  } Cases[] = {{252, 252, ""},
               {0, 0, "None"},
               {116, 116, "F5"},
               {116, 116, "F5"},
               {0x1F74, 0x74, "F5"},
               {0x2074, 0x2074, "Shift + F5"},
               {0xE071, 0xE071, "Ctrl + Shift + Alt + F2"}};
  for (const auto& Case : Cases) {
    Field->SetHotKey(Case.Written);
    EXPECT_EQ(Field->HotKey(), Case.Read);
    EXPECT_EQ(Edit().text(), Case.Shown);
  }
  EXPECT_EQ(Changes, 0);
}

TEST_F(QtControlsTest, ADisabledFieldIgnoresKeysAndKeepsItsValue) {
  Field->SetEnabled(false);
  EXPECT_FALSE(Edit().isEnabled());
  QTest::keyClick(&Edit(), Qt::Key_F5);
  EXPECT_EQ(Field->HotKey(), 113);
  EXPECT_EQ(Changes, 0);
  Field->SetHotKey(252);  // still settable from code
  EXPECT_EQ(Field->HotKey(), 252);
  Field->SetEnabled(true);
  QTest::keyClick(&Edit(), Qt::Key_F5);
  EXPECT_EQ(Field->HotKey(), 116);
  EXPECT_EQ(Changes, 1);
}

TEST_F(QtControlsTest, ACheckBoxClickedOrSetFromCodeFiresOnClickOnlyWhenItsStateChanges) {
  auto& Widget = *static_cast<QCheckBox*>(QtWidgetOf(*Box));
  QTest::mouseClick(&Widget, Qt::LeftButton, {}, QPoint(7, 8));
  EXPECT_TRUE(Box->Checked());
  EXPECT_EQ(Clicks, 1);
  Box->SetChecked(true);  // its state already
  EXPECT_EQ(Clicks, 1);
  Box->SetChecked(false);
  EXPECT_EQ(Clicks, 2);
  EXPECT_FALSE(Widget.isChecked());
  Box->SetEnabled(false);
  QTest::mouseClick(&Widget, Qt::LeftButton, {}, QPoint(7, 8));
  EXPECT_FALSE(Box->Checked());
  EXPECT_EQ(Clicks, 2);
}

TEST_F(QtControlsTest, TheButtonReportsClicksAndShowsItsCaptionWithoutBeingTheDefault) {
  auto& Widget = *static_cast<QPushButton*>(QtWidgetOf(*Button));
  EXPECT_EQ(Widget.text(), "Save");
  EXPECT_FALSE(Widget.isDefault());
  QTest::mouseClick(&Widget, Qt::LeftButton);
  EXPECT_EQ(Presses, 1);
  Button->SetCaption("Saving...");
  EXPECT_EQ(Widget.text(), "Saving...");
}

TEST_F(QtControlsTest, TabWalksTheFocusableControlsInTabOrderAndTheFormFollows) {
  ASSERT_TRUE(ProcessUntil([&] { return QtWidgetOf(*Form)->isActiveWindow(); }));
  // Activation put the focus on the first control in tab order.
  EXPECT_EQ(Form->ActiveControl(), Box);
  EXPECT_TRUE(QtWidgetOf(*Box)->hasFocus());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(Form->ActiveControl(), Button);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(Form->ActiveControl(), Field);
  Button->SetEnabled(false);  // skipped while it takes no focus
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
  EXPECT_EQ(Form->ActiveControl(), Box);
}

TEST_F(QtControlsTest, TheStatusBarHasFivePanelsWithTheWindowsEdgesAndEveryTextFits) {
  TStatusBarWidget& Widget = BarWidget();
  ASSERT_EQ(Widget.PanelCount(), 5);
  EXPECT_EQ(Widget.geometry(), QRect(0, 270, 330, 19));
  const int Lefts[] = {0, 50, 150, 205, 260};
  for (int I = 0; I < 5; ++I)
    EXPECT_EQ(Widget.PanelRect(I).left(), Lefts[I]) << I;
  EXPECT_EQ(Widget.PanelRect(4).right(), 329);  // the last one to the edge
  // The texts the window shows, each in its panel.
  const std::vector<std::pair<int, std::string>> Texts = {
      {0, "Status :"},    {1, "Not connected"}, {1, "Connecting..."}, {1, "Connecting"},
      {1, "Connecting."}, {1, "Connecting.."},  {1, "Connected"},     {2, "Version : "},
      {3, "Unknown"},     {3, "25.5"},          {4, "Saved"},         {4, "Not saved"}};
  for (const auto& [Index, Text] : Texts)
    Bar->SetPanelText(Index, Text);
  for (const auto& [Index, Text] : Texts) {
    Bar->SetPanelText(Index, Text);
    EXPECT_LE(QFontMetrics(Widget.font()).horizontalAdvance(QString::fromStdString(Text)),
              Widget.PanelTextRect(Index).width())
        << Text;
    EXPECT_EQ(Widget.PanelText(Index), QString::fromStdString(Text));
  }
  // A panel's hint is its tooltip.
  Bar->SetPanelHint(1, "You may not open /dev/ttyACM0.");
  QHelpEvent Help(QEvent::ToolTip, QPoint(60, 10), Widget.mapToGlobal(QPoint(60, 10)));
  QApplication::sendEvent(&Widget, &Help);
  EXPECT_EQ(QToolTip::text(), "You may not open /dev/ttyACM0.");
  QToolTip::hideText();
}

// What assistive technology reads: the names, with the widgets' own roles; the bar's
// panels as its children, read as they stand now.
TEST_F(QtControlsTest, ControlsCarryTheirAccessibleNamesAndThePanelsAreTheBarsChildren) {
  const auto Name = [](QAccessibleInterface* Object) {
    return Object ? Object->text(QAccessible::Name).toStdString() : std::string("(none)");
  };
  QAccessibleInterface* Check = QAccessible::queryAccessibleInterface(QtWidgetOf(*Box));
  EXPECT_EQ(Name(Check), "Left button on");
  EXPECT_EQ(Check->role(), QAccessible::CheckBox);
  QAccessibleInterface* Key = QAccessible::queryAccessibleInterface(QtWidgetOf(*Field));
  EXPECT_EQ(Name(Key), "Left button key");
  EXPECT_EQ(Key->role(), QAccessible::EditableText);
  EXPECT_EQ(Name(QAccessible::queryAccessibleInterface(QtWidgetOf(*Button))), "Save");

  QAccessibleInterface* Panels = QAccessible::queryAccessibleInterface(&BarWidget());
  EXPECT_EQ(Name(Panels), "Status");
  EXPECT_EQ(Panels->role(), QAccessible::StatusBar);
  ASSERT_EQ(Panels->childCount(), 5);
  EXPECT_EQ(Name(Panels->child(0)), "Status :");
  EXPECT_EQ(Name(Panels->child(1)), "Connection");
  Bar->SetPanelText(1, "Connected");
  EXPECT_EQ(Name(Panels->child(1)), "Connection: Connected");
  EXPECT_EQ(Panels->child(1)->role(), QAccessible::StaticText);
  EXPECT_EQ(Panels->child(1)->parent(), Panels);
  EXPECT_EQ(Panels->indexOfChild(Panels->child(4)), 4);
  EXPECT_EQ(Panels->child(5), nullptr);
  const QRect Second = Panels->child(1)->rect();
  EXPECT_EQ(Panels->childAt(Second.center().x(), Second.center().y()), Panels->child(1));
}

TEST_F(QtControlsTest, ThePictureIsDrawnAtItsTopLeftOverTheWindowsBackground) {
  const QImage Shot = QtWidgetOf(*Image)->grab().toImage();
  EXPECT_EQ(Shot.size(), QSize(256, 169));
  EXPECT_EQ(Shot.pixel(0, 0), 0xFF102030u);
  EXPECT_EQ(Shot.pixel(249, 165), 0xFF102030u);
  EXPECT_EQ(Shot.pixel(252, 2), 0xFFFFFFFFu);
  EXPECT_EQ(Shot.pixel(10, 167), 0xFFFFFFFFu);
  // A vector picture is drawn by its renderer, for the device-pixel ratio asked.
  double Asked = 0;
  Image->SetPictureRenderer([&Asked](double Scale) {
    Asked = Scale;
    return Solid(int(250 * Scale), int(166 * Scale), 0xFF00FF00);
  });
  EXPECT_EQ(Image->PictureAt(2.0).Width, 500);
  EXPECT_EQ(Asked, 2.0);
  EXPECT_EQ(QtWidgetOf(*Image)->grab().toImage().pixel(5, 5), 0xFF00FF00u);
}

}  // namespace

}  // namespace vantor
