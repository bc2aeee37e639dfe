// The one full-screen form: a borderless, topmost, black window of class "tokalux" over the whole
// primary screen, with every control placed for the screen's size and DPI (again whenever the
// display changes), the once-a-second status poll, and the controls wired to their actions. It is
// also the screen the poll writes on.
#pragma once

#include <windows.h>

#include <future>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "remote/control_handlers.h"
#include "remote/shared_values.h"
#include "remote/source.h"
#include "remote/status_poll.h"
#include "remote/status_screen.h"
#include "gui/base_window.h"
#include "gui/gui_handles.h"
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
  // A poll sooner than the next second (PollSoon); after a click, by when the player has taken it.
  static constexpr UINT_PTR SoonTimer = 3;
  static constexpr UINT ClickPollDelayMs = 120;

  // The form polls the source and asks it for actions; it never waits on it longer than
  // StatusPoll::HandOffBound.
  Form(Source& source, SharedValues& shared);

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

  // Hands over a poll in delayMs (0: at once, once this message is done) besides the
  // once-a-second ones, through a one-shot timer: while one is due, a later call moves it no
  // later, so a burst of calls makes one extra poll. As every poll, it is not handed over while
  // the last one is still out.
  void PollSoon(UINT delayMs);
  // Whenever this event is set (from any thread), the message loop calls PollSoon(0). The
  // event's owner keeps it open while the loop runs.
  void PollSoonWhenSet(HANDLE event);
  const std::vector<HANDLE>& pollSignals() const { return pollSignals_; }

  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

  // StatusScreen.
  void SetElapsed(std::wstring_view text) override;
  void SetTotal(std::wstring_view text) override;
  void SetSongTitle(std::wstring_view text) override;
  void SetTrackCounter(std::wstring_view text) override;
  void SetStreamDetail(StreamDetail detail, std::wstring_view text) override;
  void SetPlaylistLine(int line, std::wstring_view caption, bool current) override;
  bool SetSeekMaximum(int32_t maximum) override;
  bool SetSeekValue(int32_t value) override;
  void SetVolumePosition(int32_t position) override;
  void SetAccepted(ActionSet accepted) override;

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
  // Writes a label's caption (see StatusScreen).
  void SetLabelCaption(int controlId, std::wstring_view caption);

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
  // Asks the worker for the picture of the current entry's file (or the bytes the source gave) at
  // the square's size. The picture shown goes at once for an entry that is no file, else after
  // ArtGraceMs unless the new one has come.
  void RequestArt();
  void OnArtReady();

  Label* FindLabel(int controlId) const;
  Button* FindButton(int controlId) const;
  Slider* FindSlider(int controlId) const;

  void OnTimer(UINT_PTR timer);
  void OnActivate(WPARAM wparam);
  // Gives the focus to wanted, or when that is disabled (it takes no keys) to the next enabled
  // control in Tab order, else to the form.
  void FocusEnabled(HWND wanted);
  LRESULT OnSysCommand(WPARAM wparam, LPARAM lparam);
  LRESULT OnAppCommand(WPARAM wparam, LPARAM lparam);
  void OnDestroy();

  HINSTANCE instance_ = nullptr;
  ControlHandlers handlers_;
  StatusPoll poll_;
  int dpi_ = 96;
  TextFonts textFonts_;  // every font: the controls' at each DPI, at other sizes, and fallbacks
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
  // The current picture's bytes when the source handed them over (entryPath_ names them).
  std::shared_ptr<const std::vector<uint8_t>> pictureBytes_;
  HWND lastFocus_ = nullptr;
  std::optional<ULONGLONG> soonDue_;  // when the SoonTimer's poll is due, while it is
  std::vector<HANDLE> pollSignals_;
};

// Runs the form's message loop until the form is gone, with PollSoon(0) whenever one of the
// form's poll signals is set; the exit code.
int RunMessageLoop(Form& form);

}  // namespace tokalux
