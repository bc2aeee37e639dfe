// tokalux.scr: start-up and exit. Runs only as the screen saver proper (not in the configuration
// or preview modes) and only while the player runs; ends on Esc or the Exit button.
#include <windows.h>

#include <commctrl.h>

#include "remote/shared_values.h"
#include "player/player_source.h"
#include "player/player_thread.h"
#include "screen/command_line.h"
#include "screen/form.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int) {
  using namespace tokalux;

  // Configuration and preview end at once, silently.
  if (ParseStartMode(arguments ? arguments : L"") != StartMode::Run) return 0;

  // The player thread looks for the player here and on "Default" (Windows may have started us
  // on a desktop of our own). No player: nothing to show, nothing to say.
  PlayerThread player;
  if (!player.playerFound()) return 0;

  const INITCOMMONCONTROLSEX commonControls{sizeof(INITCOMMONCONTROLSEX),
                                            ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&commonControls);

  PlayerSource source(player);
  SharedValues shared;  // seekInProgress starts false
  Form form(source, shared);
  if (!form.Create(instance)) return 1;
  form.Show();
  // A new song at the player is shown at once, not at the next second.
  form.PollSoonWhenSet(player.WatchTitle());
  const int exitCode = RunMessageLoop(form);
  // Nothing is saved at exit, so the process ends here and the system takes the windows down
  // with it. Hiding a full-screen window first can block for seconds on some window systems
  // (Wine without a window manager waits 2 s for the unmap), and Esc must end it at once.
  ::ExitProcess(static_cast<UINT>(exitCode));
}
