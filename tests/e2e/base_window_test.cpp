// The one way a window object owns its window, in this process: a window the system destroys
// with its parent is let go by the object at WM_NCDESTROY (so the object never destroys a handle
// that may name another window by then), and an object that goes first takes its window along.
// And the one way a parent passes its controls' notifications on to them.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "gui/base_window.h"

namespace tokalux::e2e {
namespace {

// A window of a class of ours.
class OwnWindow : public BaseWindow<OwnWindow> {
 public:
  static constexpr const wchar_t* ClassName = L"tokalux test window";

  explicit OwnWindow(HWND parent) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    RegisterWindowClass(instance, ClassName);
    MakeWindow({.className = ClassName,
                .style = static_cast<DWORD>(parent ? WS_CHILD : WS_POPUP),
                .rect = {0, 0, 10, 10},
                .parent = parent,
                .instance = instance});
  }

  int ncDestroys = 0;
  int commands = 0;

 private:
  friend class BaseWindow<OwnWindow>;
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCDESTROY) ++ncDestroys;
    if (message == WM_COMMAND) ++commands;
    return ::DefWindowProcW(hwnd(), message, wparam, lparam);
  }
};

// A system control, subclassed.
class SystemControl : public BaseWindow<SystemControl> {
 public:
  explicit SystemControl(HWND parent) {
    MakeWindow(
        {.className = L"Static", .style = WS_CHILD, .rect = {0, 0, 10, 10}, .parent = parent});
  }

  static constexpr LRESULT Answer = 7;
  int ncDestroys = 0;
  std::vector<UINT> reflected;  // the notifications that came back to it

 private:
  friend class BaseWindow<SystemControl>;
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCDESTROY) ++ncDestroys;
    if (message >= ReflectedMessage(0) && message < ReflectedMessage(WM_USER)) {
      reflected.push_back(message - ReflectedMessage(0));
      return Answer;
    }
    return ::DefSubclassProc(hwnd(), message, wparam, lparam);
  }
};

TEST(BaseWindow, ChildrenDestroyedWithTheirParentAreLetGo) {
  OwnWindow parent(nullptr);
  ASSERT_NE(parent.hwnd(), nullptr);
  OwnWindow own(parent.hwnd());
  SystemControl control(parent.hwnd());
  ASSERT_NE(own.hwnd(), nullptr);
  ASSERT_NE(control.hwnd(), nullptr);

  ::DestroyWindow(parent.hwnd());
  EXPECT_EQ(parent.hwnd(), nullptr);
  EXPECT_EQ(own.hwnd(), nullptr);
  EXPECT_EQ(control.hwnd(), nullptr);
  // Each object heard of its window's end once.
  EXPECT_EQ(parent.ncDestroys, 1);
  EXPECT_EQ(own.ncDestroys, 1);
  EXPECT_EQ(control.ncDestroys, 1);
}

TEST(BaseWindow, AnObjectThatGoesFirstTakesItsWindowAlong) {
  OwnWindow parent(nullptr);
  ASSERT_NE(parent.hwnd(), nullptr);
  auto own = std::make_unique<OwnWindow>(parent.hwnd());
  auto control = std::make_unique<SystemControl>(parent.hwnd());
  const HWND ownWindow = own->hwnd();
  const HWND controlWindow = control->hwnd();

  own.reset();
  control.reset();
  EXPECT_FALSE(::IsWindow(ownWindow));
  EXPECT_FALSE(::IsWindow(controlWindow));
  EXPECT_TRUE(::IsWindow(parent.hwnd()));
  EXPECT_EQ(parent.ncDestroys, 0);
}

TEST(BaseWindow, AParentReflectsItsControlsNotificationsToThemAndGivesTheirAnswers) {
  OwnWindow parent(nullptr);
  SystemControl control(parent.hwnd());
  OwnWindow stranger(nullptr);
  ASSERT_NE(control.hwnd(), nullptr);
  const auto from = [](HWND window) { return reinterpret_cast<LPARAM>(window); };
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_STATIC;
  item.itemAction = ODA_FOCUS;  // a redraw the system asks for without a WM_PAINT
  item.hwndItem = control.hwnd();

  const HWND to = parent.hwnd();
  constexpr LRESULT answer = SystemControl::Answer;
  EXPECT_EQ(::SendMessageW(to, WM_COMMAND, MAKEWPARAM(0, STN_CLICKED), from(control.hwnd())),
            answer);
  EXPECT_EQ(::SendMessageW(to, WM_HSCROLL, TB_LINEUP, from(control.hwnd())), answer);
  EXPECT_EQ(::SendMessageW(to, WM_CTLCOLORSTATIC, 0, from(control.hwnd())), answer);
  EXPECT_EQ(::SendMessageW(to, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item)), answer);
  // A notification that names no child of the parent stays with the parent.
  ::SendMessageW(to, WM_COMMAND, MAKEWPARAM(0, STN_CLICKED), from(stranger.hwnd()));
  EXPECT_EQ(control.reflected,
            (std::vector<UINT>{WM_COMMAND, WM_HSCROLL, WM_CTLCOLORSTATIC, WM_DRAWITEM}));
  EXPECT_EQ(parent.commands, 1);
  EXPECT_EQ(PaintCount(control.hwnd()), 1u);  // the control's own paint
}

}  // namespace
}  // namespace tokalux::e2e
