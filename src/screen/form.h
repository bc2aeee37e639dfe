// The one full-screen form: a borderless, topmost, black window of class "tokalux" over the whole
// primary screen, with every control placed for the screen's size and DPI (again whenever the
// display changes), the once-a-second status poll, and the controls wired to their actions. It is
// also what the poll writes through.
#pragma once

#include <windows.h>

#include <future>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "display/control_handlers.h"
#include "display/shared_values.h"
#include "display/status_poll.h"
#include "display/status_screen.h"
#include "gui/base_window.h"
#include "gui/gui_handles.h"
#include "player/player_thread.h"
#include "art/art_worker.h"
#include "screen/art_view.h"
#include "screen/blackout_windows.h"
#include "screen/button.h"
#include "screen/fonts.h"
#include "screen/frame.h"
#include "screen/label.h"
#include "screen/slider.h"
#include "screen/tooltip.h"
#include "text/text_fonts.h"

namespace tokalux {

class Form final : public BaseWindow<Form>, public StatusScreen {
 public:
  static constexpr const wchar_t* ClassName = L"tokalux";
  static constexpr UINT_PTR PollTimer = 1;  // Timer1
  static constexpr UINT PollIntervalMs = 1000;
  // After a change of entry, how long the last picture may stay while the new one is on its way.
  static constexpr UINT_PTR ArtGraceTimer = 2;
  static constexpr UINT ArtGraceMs = 250;

  // The form talks to the player only through the player thread.
  Form(PlayerThread& player, SharedValues& shared);

  // Creates the form (hidden) over the primary screen with all its controls, placed for the
  // screen's size and DPI, and starts Timer1. False when the window cannot be created.
  bool Create(HINSTANCE instance);
  // Shows the form on top of everything, with the focus on the seek slider, and blackouts
  // over the other monitors.
  void Show();

  // True for the Esc key (its key-down, or character 27) sent to any of the form's windows: the
  // message loop checks this before anything else, so Esc works whichever control has the focus.
  bool IsExitKey(const MSG& message) const;
  // The one clean shutdown, for Esc and the Exit button alike: the form goes, then the loop ends.
  void Close();

  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

  // StatusScreen.
  void SetCaption(int controlId, std::wstring_view caption) override;
  std::wstring Caption(int controlId) const override;
  void SetTextColour(int controlId, uint32_t colour) override;
  bool SetSeekMaximum(int32_t maximum) override;
  bool SetSeekValue(int32_t value) override;
  void SetVolumePosition(int32_t position) override;

 private:
  static constexpr UINT CloseMessage = WM_APP + 1;
  // The art worker posts this when the current track's picture is ready.
  static constexpr UINT ArtReadyMessage = WM_APP + 2;

  bool Register(HINSTANCE instance);
  void CreateControls();
  void CreateControl(const ControlSpec& spec);
  // Tells the labels whose captions may be of any length what they must keep off.
  void KeepCaptionsOffOthers(const Placement& placement);
  void WireActions();

  // ---- Following the display ----
  // The one way from the screen to what stands on it, for start-up and both display messages:
  // the form over the whole primary monitor at its size now, every control where the layout puts
  // it for that size at the form's DPI, and blackouts over the other monitors there are now.
  void ApplyPlacement();
  void MoveControls(const Placement& placement);
  // The picture's square for this placement (hidden where none fits), and the picture asked for
  // again at its new size when that changed.
  void PlaceArt(const Placement& placement, int32_t screenHeightTwips);
  // The fonts at this DPI given to every control (nothing when they have them already).
  void UseDpi(int dpi);
  // Runs action on the control with this ID, whatever its kind.
  template <typename Action>
  void ForControl(int controlId, Action&& action);
  void OnDisplayChange();
  void OnDpiChanged(WPARAM wparam);

  // ---- The current track's picture ----
  // Asks the worker for the picture of the current entry's file at the square's size. The
  // picture shown goes at once for an entry that is no file, else after ArtGraceMs unless the
  // new one has come.
  void RequestArt();
  void OnArtReady();

  Label* FindLabel(int controlId) const;
  Button* FindButton(int controlId) const;
  Slider* FindSlider(HWND window) const;
  Slider* FindSlider(int controlId) const;

  LRESULT OnCommand(WPARAM wparam, LPARAM lparam);
  LRESULT OnDrawItem(const DRAWITEMSTRUCT* item);
  LRESULT OnHScroll(WPARAM wparam, LPARAM lparam);
  LRESULT OnCtlColorStatic(HDC dc, HWND control);
  void OnTimer(UINT_PTR timer);
  void OnActivate(WPARAM wparam);
  LRESULT OnSysCommand(WPARAM wparam, LPARAM lparam);
  void OnDestroy();

  PlayerThread& player_;
  SharedValues& shared_;
  HINSTANCE instance_ = nullptr;
  ControlHandlers handlers_;
  StatusPoll poll_;
  int dpi_ = 96;
  TextFonts textFonts_;  // every font: the controls' at each DPI, at other sizes, and fallbacks
  UniqueBrush background_;
  std::vector<std::unique_ptr<Label>> labels_;
  std::vector<std::unique_ptr<Button>> buttons_;
  std::unique_ptr<Frame> frame_;
  std::unique_ptr<Slider> seekSlider_;
  std::unique_ptr<Slider> volumeSlider_;
  std::unique_ptr<Tooltip> tooltip_;
  BlackoutWindows blackouts_;  // the monitors beside the primary
  std::unique_ptr<ArtView> artView_;
  std::optional<TwipRect> artSquare_;
  std::optional<ArtWorker> art_;
  std::wstring entryPath_;  // the current entry's file, as the player last gave it
  HWND lastFocus_ = nullptr;
};

// Runs the form's message loop until the form is gone; the exit code.
int RunMessageLoop(Form& form);

}  // namespace tokalux
