// tokalux.scr: start-up and exit. Runs only as the screen saver proper (not in the configuration
// or preview modes) and only while there is something to show, the classic player or a media
// session; ends on Esc or the Exit button.
#include <windows.h>

#include <commctrl.h>

#include "base/win32_handles.h"
#include "remote/shared_values.h"
#include "player/player_source.h"
#include "player/player_thread.h"
#include "screen/command_line.h"
#include "screen/form.h"
#include "session/session_client.h"
#include "session/source_switch.h"

namespace {

// Whether the system lists a media session now: the client's first poll, within its bound.
bool AnySession(tokalux::SessionClient& sessions) {
  auto first = sessions.Poll();
  return first.wait_for(tokalux::SessionClient::FirstPollBound) == std::future_status::ready &&
         !first.get().sessions.empty();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int) {
  using namespace tokalux;

  // Configuration and preview end at once, silently.
  if (ParseStartMode(arguments ? arguments : L"") != StartMode::Run) return 0;

  // The player thread looks for the classic player here and on "Default" (Windows may have
  // started us on a desktop of our own). No player and no session: nothing to show, nothing to
  // say. A session's change sets an event (the system tells it on a thread of its pool, which
  // may not post to a window of another desktop), and the form polls at once.
  PlayerThread player;
  const UniqueHandle sessionChanged(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
  SessionClient sessions([event = sessionChanged.get()] { ::SetEvent(event); });
  if (!player.playerFound() && !AnySession(sessions)) return 0;

  const INITCOMMONCONTROLSEX commonControls{sizeof(INITCOMMONCONTROLSEX),
                                            ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&commonControls);

  PlayerSource classic(player);
  SourceSwitch source(classic, sessions);
  SharedValues shared;  // seekInProgress starts false
  Form form(source, shared);
  if (!form.Create(instance)) return 1;
  form.Show();
  // A new song at the player, or a change a session tells, is shown at once, not at the next
  // second.
  form.PollSoonWhenSet(player.WatchTitle());
  form.PollSoonWhenSet(sessionChanged.get());
  const int exitCode = RunMessageLoop(form);
  // Nothing is saved at exit, so the process ends here and the system takes the windows down
  // with it. Hiding a full-screen window first can block for seconds on some window systems
  // (Wine without a window manager waits 2 s for the unmap), and Esc must end it at once.
  ::ExitProcess(static_cast<UINT>(exitCode));
}
