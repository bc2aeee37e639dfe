#include "screen/form.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <type_traits>

#include "art/file_source.h"
#include "art/track_path.h"
#include "base/system_function.h"
#include "screen/control_ids.h"

namespace tokalux {
namespace {

// Controls are created in this order, which is also the Tab order for those that take the
// focus: first the focusable ones in Tab order, then the frame with its labels, then the rest.
std::vector<const ControlSpec*> CreationOrder() {
  std::vector<const ControlSpec*> order;
  for (const ControlSpec& spec : ControlTable()) order.push_back(&spec);
  auto rank = [](const ControlSpec* spec) {
    if (spec->tabOrder > 0) return spec->tabOrder;
    if (spec->kind == ControlKind::Frame) return FocusableCount + 1;
    if (spec->container == Container::Frame1) return FocusableCount + 2;
    return FocusableCount + 3;
  };
  std::stable_sort(order.begin(), order.end(),
                   [&](const ControlSpec* a, const ControlSpec* b) { return rank(a) < rank(b); });
  return order;
}

// What each button asks for, and so whether it is enabled; a playlist button jumps within the
// list. The Exit button is the form's own.
struct ButtonAction {
  int control;
  ActionKind action;
  std::optional<PlaylistButton> playlist = std::nullopt;
};
constexpr ButtonAction ButtonActions[] = {
    {ControlId::cmdPrev, ActionKind::Previous},
    {ControlId::cmdFRW, ActionKind::Back5s},
    {ControlId::cmdPlay, ActionKind::Play},
    {ControlId::cmdPause, ActionKind::Pause},
    {ControlId::cmdStop, ActionKind::Stop},
    {ControlId::cmdFFW, ActionKind::Forward5s},
    {ControlId::cmdNext, ActionKind::Next},
    {ControlId::cmdVolIncr, ActionKind::VolumeUp},
    {ControlId::cmdVolDecr, ActionKind::VolumeDown},
    {ControlId::cmdPLStart, ActionKind::JumpTo, PlaylistButton::Begin},
    {ControlId::cmdPLm10, ActionKind::JumpTo, PlaylistButton::Minus10},
    {ControlId::cmdPLMitte, ActionKind::JumpTo, PlaylistButton::Middle},
    {ControlId::cmdPLp10, ActionKind::JumpTo, PlaylistButton::Plus10},
    {ControlId::cmdPLEnd, ActionKind::JumpTo, PlaylistButton::End},
};

const ButtonAction* ActionOf(int control) {
  const auto entry = std::ranges::find(ButtonActions, control, &ButtonAction::control);
  return entry == std::end(ButtonActions) ? nullptr : entry;
}

// The primary monitor in desktop pixels: its top-left corner is the desktop's origin.
RECT PrimaryScreen() {
  return {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

int ScreenDpi(HWND window) {
  // The form is per-monitor DPI aware (see the manifest), so this is the primary screen's own DPI.
  // Windows before 10 1607 have no GetDpiForWindow; there the screen's DPI is the system's.
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow =
      SystemFunction<GetDpiForWindowFunction>(L"user32.dll", "GetDpiForWindow");
  const UINT dpi = window && getDpiForWindow ? getDpiForWindow(window) : 0;
  if (dpi > 0) return static_cast<int>(dpi);
  ScopedWindowDc screen(nullptr);
  const int caps = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
  return caps > 0 ? caps : 96;
}

// How the picture worker opens files: FileSource::Open. For the end-to-end tests, which cannot
// make a share stop answering under Wine, the files whose paths start with the environment's
// TOKALUX_TEST_STALLED_FILES open as on such a share: the open blocks in a call that only
// CancelSynchronousIo ends (a read of a pipe nobody writes to), and then fails.
ArtWorker::Opener ArtOpener() {
  wchar_t stalled[MAX_PATH] = {};
  const DWORD length = ::GetEnvironmentVariableW(L"TOKALUX_TEST_STALLED_FILES", stalled, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return ArtWorker::DefaultOpener();
  return [stalled = std::wstring(stalled, length)](const std::wstring& path,
                                                   HANDLE giveUp) -> std::unique_ptr<ByteSource> {
    if (!path.starts_with(stalled)) return FileSource::Open(path, giveUp);
    HANDLE read = nullptr, write = nullptr;
    if (::CreatePipe(&read, &write, nullptr, 0)) {
      const UniqueHandle reader(read), writer(write);
      char byte = 0;
      DWORD got = 0;
      ::ReadFile(reader.get(), &byte, 1, &got, nullptr);
    }
    return nullptr;
  };
}

}  // namespace

Form::Form(Source& source, SharedValues& shared)
    : handlers_(source, shared), poll_(source, *this, shared) {
  poll_.onEntryPath = [this](const std::wstring& path,
                             const std::shared_ptr<const std::vector<uint8_t>>& bytes) {
    entryPath_ = path;
    pictureBytes_ = bytes;
    RequestArt();
  };
  handlers_.onAsked = [this] { PollSoon(ClickPollDelayMs); };
}

bool Form::Register(HINSTANCE instance) {
  if (!Frame::Register(instance) || !ArtView::Register(instance)) return false;
  const auto smallIcon = static_cast<HICON>(
      ::LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                   ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR | LR_SHARED));
  return RegisterWindowClass(instance, ClassName,
                             static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)),
                             ::LoadIconW(instance, MAKEINTRESOURCEW(1)), smallIcon);
}

bool Form::Create(HINSTANCE instance) {
  if (!Register(instance)) return false;
  instance_ = instance;
  // Made over the primary screen, so its DPI is that screen's; ApplyPlacement sizes everything.
  if (!MakeWindow({.className = ClassName,
                   .text = L"tokalux",
                   .style = WS_POPUP | WS_CLIPCHILDREN,
                   .exStyle = WS_EX_TOPMOST,
                   .rect = PrimaryScreen(),
                   .instance = instance})) {
    return false;
  }

  UseDpi(ScreenDpi(hwnd()));
  CreateControls();
  artView_ = std::make_unique<ArtView>(hwnd(), ControlId::picCover);
  art_.emplace(hwnd(), ArtReadyMessage, ArtOpener());
  WireActions();
  ApplyPlacement();
  ::SetTimer(hwnd(), PollTimer, PollIntervalMs, nullptr);
  return true;
}

void Form::Show() {
  ::ShowWindow(hwnd(), SW_SHOW);
  ::UpdateWindow(hwnd());
  blackouts_.Show();
  ::SetForegroundWindow(hwnd());
  if (seekSlider_) {
    ::SetFocus(seekSlider_->hwnd());
    lastFocus_ = seekSlider_->hwnd();
  }
}

// The controls are made with no place of their own yet (the form is still hidden): ApplyPlacement
// puts them where they belong.
void Form::CreateControls() {
  tooltip_ = std::make_unique<Tooltip>(hwnd());
  for (const ControlSpec* spec : CreationOrder()) CreateControl(*spec);
}

void Form::CreateControl(const ControlSpec& spec) {
  HFONT font = ControlFont(textFonts_, spec.font, dpi_);
  switch (spec.kind) {
    case ControlKind::Label:
    case ControlKind::PlaylistLine: {
      HWND parent = spec.container == Container::Frame1 && frame_ ? frame_->hwnd() : hwnd();
      const LabelStyle style{.font = font,
                             .text = ResolveColour(spec.textColour),
                             .back = ResolveColour(spec.backColour),
                             .sizing = spec.sizing,
                             .clickable = spec.kind == ControlKind::PlaylistLine ||
                                          spec.id == ControlId::lbltrackvontracks,
                             .fonts = &textFonts_};
      labels_.push_back(std::make_unique<Label>(parent, spec.id, spec.caption, style));
      break;
    }
    case ControlKind::Button: {
      const ButtonStyle style{font, ResolveColour(spec.backColour), ResolveColour(spec.textColour)};
      buttons_.push_back(std::make_unique<Button>(hwnd(), spec.id, spec.caption, style));
      tooltip_->Add(buttons_.back()->hwnd(), spec.tooltip);
      break;
    }
    case ControlKind::Frame: {
      const FrameStyle style{font, ResolveColour(spec.textColour), ResolveColour(spec.backColour)};
      frame_ = std::make_unique<Frame>(hwnd(), spec.id, spec.caption, style);
      break;
    }
    case ControlKind::Slider: {
      // The seek slider's range follows the track length: hundreds of ticks would only blur.
      const SliderStyle style{font, ResolveColour(spec.backColour), spec.id == ControlId::sldVol};
      auto slider = std::make_unique<Slider>(hwnd(), spec.id, DesignSliderRange, style);
      tooltip_->Add(slider->hwnd(), spec.tooltip);
      (spec.id == ControlId::sldLength ? seekSlider_ : volumeSlider_) = std::move(slider);
      break;
    }
  }
}

void Form::WireActions() {
  for (const auto& button : buttons_) {
    const int id = button->id();
    const ButtonAction* entry = ActionOf(id);
    if (id == ControlId::cmdEnd) {
      button->onClick = [this] { Close(); };
    } else if (entry && entry->playlist) {
      button->onClick = [this, which = *entry->playlist] { handlers_.OnPlaylistButton(which); };
    } else if (entry) {
      button->onClick = [this, action = entry->action] { handlers_.OnButton(action); };
    }
  }
  if (seekSlider_) {
    // onPress comes before the slider handles the press, so its value is still the last poll's.
    seekSlider_->onPress = [this] { handlers_.OnSeekPress(seekSlider_->Value()); };
    seekSlider_->onScroll = [this](int32_t value) { handlers_.OnSeekScroll(value); };
    seekSlider_->onRelease = [this](int32_t value) { handlers_.OnSeekRelease(value); };
    seekSlider_->onPressCancelled = [this] { handlers_.OnSeekCancelled(); };
  }
  if (volumeSlider_) {
    volumeSlider_->onScroll = [this](int32_t value) { handlers_.OnVolumeScroll(value); };
    volumeSlider_->onPress = [this] { handlers_.OnVolumeHeld(true); };
    volumeSlider_->onRelease = [this](int32_t) { handlers_.OnVolumeHeld(false); };
    volumeSlider_->onPressCancelled = [this] { handlers_.OnVolumeHeld(false); };
  }
  for (int line = 1; line <= PlaylistLineCount; ++line) {
    if (Label* label = FindLabel(ControlId::lblplaylist(line))) {
      label->onClick = [this, label] { handlers_.OnPlaylistLineClick(label->caption()); };
    }
  }
  // The way to the list of sources while the classic player's playlist is on the lines, and
  // back; a choice of source shows at once.
  if (Label* counter = FindLabel(ControlId::lbltrackvontracks)) {
    counter->onClick = [this] {
      handlers_.OnTrackCounterClick();
      PollSoon(0);
    };
  }
}

Label* Form::FindLabel(int controlId) const {
  for (const auto& label : labels_) {
    if (label->id() == controlId) return label.get();
  }
  return nullptr;
}

Button* Form::FindButton(int controlId) const {
  for (const auto& button : buttons_) {
    if (button->id() == controlId) return button.get();
  }
  return nullptr;
}

Slider* Form::FindSlider(int controlId) const {
  if (seekSlider_ && seekSlider_->id() == controlId) return seekSlider_.get();
  if (volumeSlider_ && volumeSlider_->id() == controlId) return volumeSlider_.get();
  return nullptr;
}

// ---- Following the display ----

void Form::ApplyPlacement() {
  // The whole primary screen, task bar included: the bottom rows are placed from its bottom edge.
  const RECT screen = PrimaryScreen();
  ::SetWindowPos(hwnd(), nullptr, screen.left, screen.top, screen.right - screen.left,
                 screen.bottom - screen.top, SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  const int32_t heightTwips = PixelsToTwips(client.bottom - client.top, dpi_);
  const Placement placement =
      PlaceControls(PixelsToTwips(client.right - client.left, dpi_), heightTwips);
  MoveControls(placement);
  PlaceArt(placement, heightTwips);
  KeepCaptionsOffOthers(placement);
  blackouts_.Update(instance_, hwnd());
}

void Form::PlaceArt(const Placement& placement, int32_t screenHeightTwips) {
  artSquare_ = ArtSquare(placement, screenHeightTwips, dpi_);
  const int side = artView_->side();
  artView_->Place(artSquare_ ? std::optional(SquareToPixels(*artSquare_, dpi_)) : std::nullopt);
  if (artView_->side() != side) {
    artView_->Show(std::nullopt);  // black until the picture at the new size comes
    RequestArt();
  }
}

template <typename Action>
void Form::ForControl(int controlId, Action&& action) {
  if (Label* label = FindLabel(controlId)) {
    action(*label);
  } else if (Button* button = FindButton(controlId)) {
    action(*button);
  } else if (Slider* slider = FindSlider(controlId)) {
    action(*slider);
  } else if (frame_ && frame_->id() == controlId) {
    action(*frame_);
  }
}

void Form::MoveControls(const Placement& placement) {
  for (const ControlSpec& spec : ControlTable()) {
    const PixelRect rect = ToPixels(placement.Rect(spec.id), dpi_);
    ForControl(spec.id, [&](auto& control) {
      if constexpr (std::is_same_v<std::decay_t<decltype(control)>, Label>) {
        control.Place(rect);  // a label may follow its caption instead
      } else {
        control.MoveTo(rect.left, rect.top, rect.width, rect.height);
      }
    });
  }
}

void Form::KeepCaptionsOffOthers(const Placement& placement) {
  std::vector<TwipRect> extra;
  if (artSquare_) extra.push_back(ArtObstacle(*artSquare_));  // the picture beside the lines
  for (const ControlSpec& spec : ControlTable()) {
    Label* label = KeepsOffOthers(spec) ? FindLabel(spec.id) : nullptr;
    if (!label) continue;
    std::vector<PixelRect> obstacles;
    for (const TwipRect& obstacle : TextObstacles(placement, spec.id, extra)) {
      obstacles.push_back(ToPixels(obstacle, dpi_));
    }
    label->KeepOff(std::move(obstacles));
  }
}

// ---- The current track's picture ----

void Form::RequestArt() {
  const bool trackFile =
      pictureBytes_ || IsTrackFile(std::u16string(entryPath_.begin(), entryPath_.end()));
  if (art_ && artView_->side() > 0 && !entryPath_.empty()) {
    // Also ends the work for the entry before.
    art_->Request(entryPath_, artView_->side(), pictureBytes_);
  }
  if (art_ && artView_->side() > 0 && trackFile) {
    // The picture shown stays a moment: a track whose picture comes at once changes without a
    // black flash between, one whose picture is slow (a share over Wi-Fi, one that has gone
    // away) shows black, not the last track's picture. A file that is not there comes back at
    // once with none.
    ::SetTimer(hwnd(), ArtGraceTimer, ArtGraceMs, nullptr);
  } else {
    ::KillTimer(hwnd(), ArtGraceTimer);
    artView_->Show(std::nullopt);  // a stream, a CD track: black at once
  }
}

void Form::OnArtReady() {
  const auto result = art_ ? art_->Take() : std::nullopt;
  if (result && result->trackPath == entryPath_ && result->side == artView_->side()) {
    ::KillTimer(hwnd(), ArtGraceTimer);
    artView_->Show(result->picture);
  }
}

void Form::UseDpi(int dpi) {
  // Before the controls are made there is no control to tell; they are made at dpi_.
  if (dpi == dpi_) return;
  dpi_ = dpi;
  for (const ControlSpec& spec : ControlTable()) {
    ForControl(spec.id,
               [&](auto& control) { control.SetFont(ControlFont(textFonts_, spec.font, dpi_)); });
  }
}

void Form::OnDisplayChange() {
  // A monitor came or went, or one changed its mode: the primary may have another size, and the
  // other monitors other places. Its DPI, if that changed too, comes with WM_DPICHANGED.
  ApplyPlacement();
}

void Form::OnDpiChanged(WPARAM wparam) {
  // The new DPI is in wParam (both halves hold it). The suggested rectangle in lParam is not
  // needed, and not read: the form covers the whole primary screen whatever it suggests.
  const int dpi = HIWORD(wparam);
  if (dpi <= 0) return;
  UseDpi(dpi);
  ApplyPlacement();
}

bool Form::IsExitKey(const MSG& message) const {
  const bool escape = (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) ||
                      (message.message == WM_CHAR && message.wParam == 27);
  return escape && hwnd() && (message.hwnd == hwnd() || ::IsChild(hwnd(), message.hwnd));
}

void Form::Close() {
  // Posted, so a button that asked for it finishes its own message before the form goes.
  if (hwnd()) ::PostMessageW(hwnd(), CloseMessage, 0, 0);
}

void Form::PollSoon(UINT delayMs) {
  const ULONGLONG due = ::GetTickCount64() + delayMs;
  if (!hwnd() || (soonDue_ && *soonDue_ <= due)) return;
  soonDue_ = due;
  ::SetTimer(hwnd(), SoonTimer, delayMs, nullptr);  // replaces one due later
}

void Form::PollSoonWhenSet(HANDLE event) {
  if (event) pollSignals_.push_back(event);
}

// ---- StatusScreen ----

void Form::SetLabelCaption(int controlId, std::wstring_view caption) {
  if (Label* label = FindLabel(controlId)) label->SetCaption(caption);
}

void Form::SetElapsed(std::wstring_view text) {
  SetLabelCaption(ControlId::lblTime, text);
}

void Form::SetTotal(std::wstring_view text) {
  SetLabelCaption(ControlId::lblTimegesamt, text);
}

void Form::SetSongTitle(std::wstring_view text) {
  SetLabelCaption(ControlId::lblSongName, text);
}

void Form::SetTrackCounter(std::wstring_view text) {
  SetLabelCaption(ControlId::lbltrackvontracks, text);
}

void Form::SetStreamDetail(StreamDetail detail, std::wstring_view text) {
  switch (detail) {
    case StreamDetail::SampleRate:
      return SetLabelCaption(ControlId::lblSample, text);
    case StreamDetail::BitRate:
      return SetLabelCaption(ControlId::lblBitrate, text);
    case StreamDetail::Channels:
      return SetLabelCaption(ControlId::lblChannels, text);
  }
}

void Form::SetPlaylistLine(int line, std::wstring_view caption, bool current) {
  if (Label* label = FindLabel(ControlId::lblplaylist(line))) {
    label->SetCaption(caption);
    // The line of the current entry is red, the others green.
    label->SetTextColour(ResolveColour(current ? ColourRed : ColourGreen));
  }
}

bool Form::SetSeekMaximum(int32_t maximum) {
  return seekSlider_ && seekSlider_->SetMaximum(maximum);
}

bool Form::SetSeekValue(int32_t value) {
  return seekSlider_ && seekSlider_->SetValue(value);
}

void Form::SetVolumePosition(int32_t position) {
  if (volumeSlider_) volumeSlider_->SetValue(position);
}

void Form::SetAccepted(ActionSet accepted) {
  const auto takes = [accepted](ActionKind kind) { return (accepted & ActionBit(kind)) != 0; };
  for (const auto& button : buttons_) {
    if (const ButtonAction* entry = ActionOf(button->id())) button->Enable(takes(entry->action));
  }
  if (seekSlider_) seekSlider_->Enable(takes(ActionKind::SeekTo));
  if (volumeSlider_) volumeSlider_->Enable(takes(ActionKind::VolumeTo));
  // A disabled control takes no keys: the focus moves on rather than go nowhere.
  const HWND focus = ::GetFocus();
  if (focus && ::IsChild(hwnd(), focus) && !::IsWindowEnabled(focus)) FocusEnabled(focus);
}

void Form::FocusEnabled(HWND wanted) {
  if (wanted && ::IsWindowEnabled(wanted)) {
    ::SetFocus(wanted);
    return;
  }
  const HWND next = ::GetNextDlgTabItem(hwnd(), wanted, FALSE);  // the next enabled one
  ::SetFocus(next && ::IsWindowEnabled(next) ? next : hwnd());
}

// ---- Messages ----

LRESULT Form::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  // The controls' notifications are theirs (see base_window.h); IsDialogMessage's WM_COMMAND for
  // Enter and Esc (IDOK, IDCANCEL) does nothing.
  switch (message) {
    case WM_TIMER:
      OnTimer(wparam);
      return 0;
    case WM_ACTIVATE:
      OnActivate(wparam);
      return 0;
    case WM_SYSCOMMAND:
      return OnSysCommand(wparam, lparam);
    case WM_APPCOMMAND:
      return OnAppCommand(wparam, lparam);
    case WM_DISPLAYCHANGE:
      OnDisplayChange();
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(wparam);
      return 0;
    case ArtReadyMessage:
      OnArtReady();
      return 0;
    case CloseMessage:
      // Ends the message loop with the form still up; the process takes it down (see main).
      ::PostQuitMessage(0);
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      return ::DefWindowProcW(hwnd(), message, wparam, lparam);
  }
}

void Form::OnTimer(UINT_PTR timer) {
  if (timer == ArtGraceTimer) {
    ::KillTimer(hwnd(), ArtGraceTimer);
    artView_->Show(std::nullopt);  // the entry's own picture has not come yet
    return;
  }
  if (timer == SoonTimer) {
    ::KillTimer(hwnd(), SoonTimer);
    soonDue_.reset();
  } else if (timer != PollTimer) {
    return;
  }
  // One hand-off per poll: the source asks its player (the classic player on the player thread),
  // this thread writes the screen.
  poll_.Tick(StatusPoll::HandOffBound);
}

void Form::OnActivate(WPARAM wparam) {
  // Like a dialog: the focus leaves with the form and comes back to the same control.
  if (LOWORD(wparam) == WA_INACTIVE) {
    HWND focus = ::GetFocus();
    if (focus && ::IsChild(hwnd(), focus)) lastFocus_ = focus;
  } else if (lastFocus_ && ::IsWindow(lastFocus_)) {
    FocusEnabled(lastFocus_);
  }
}

LRESULT Form::OnSysCommand(WPARAM wparam, LPARAM lparam) {
  switch (wparam & 0xFFF0) {
    case SC_CLOSE:       // Alt+F4: only Esc and Exit end the program
    case SC_SCREENSAVE:  // no second screen saver over this one
      return 0;
    default:
      return ::DefWindowProcW(hwnd(), WM_SYSCOMMAND, wparam, lparam);
  }
}

LRESULT Form::OnAppCommand(WPARAM wparam, LPARAM lparam) {
  // The keyboard's media keys, from whichever control has the focus: the default handling passes
  // a child's command up to the form. Volume, mute and the rest stay with the system.
  if (handlers_.OnMediaKey(GET_APPCOMMAND_LPARAM(lparam))) return TRUE;
  return ::DefWindowProcW(hwnd(), WM_APPCOMMAND, wparam, lparam);
}

void Form::OnDestroy() {
  ::KillTimer(hwnd(), PollTimer);
  ::KillTimer(hwnd(), SoonTimer);
  ::KillTimer(hwnd(), ArtGraceTimer);
  ::PostQuitMessage(0);
}

int RunMessageLoop(Form& form) {
  MSG message{};
  for (;;) {
    // The signals come from threads that may sit on another desktop (the player thread), where
    // no window message of theirs could reach the form: an event reaches it anywhere.
    const std::vector<HANDLE>& signals = form.pollSignals();
    const auto count = static_cast<DWORD>(signals.size());
    const DWORD woke = ::MsgWaitForMultipleObjectsEx(count, signals.data(), INFINITE, QS_ALLINPUT,
                                                     MWMO_INPUTAVAILABLE);
    if (woke == WAIT_FAILED) return 1;
    if (woke - WAIT_OBJECT_0 < count) form.PollSoon(0);
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
      if (form.IsExitKey(message)) {
        form.Close();
        continue;
      }
      if (form.hwnd() && ::IsDialogMessageW(form.hwnd(), &message)) continue;
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
}

}  // namespace tokalux
