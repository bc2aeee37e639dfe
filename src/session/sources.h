// Every source the screen can show (the classic player and the media sessions), kept from poll to
// poll: which one is shown, what the screen shows of it, and where an action for it goes. Plain
// values only; the source switch feeds it each poll's answers and the time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "remote/action.h"
#include "remote/status.h"
#include "session/session_snapshot.h"
#include "session/source_choice.h"

namespace tokalux {

// Where an action for the shown source goes.
struct RoutedAction {
  enum class To {
    Classic,  // the classic player takes it as it is
    Session,  // the session request below
    Done,     // the choice of a source: done here
    Nobody,   // no source takes it now
  };
  To to = To::Nobody;
  SessionAction request;
};

class Sources {
 public:
  // The player's name on its line in the list of sources.
  static constexpr const wchar_t* ClassicName = L"Winamp";

  // Takes one poll's answers: the classic player's status, and the sessions' snapshot (nullopt
  // when their poll did not come back in time); now is a FILETIME. Chooses the source to show
  // and gives its status: the classic player's as it is, with the list of sources on the lines
  // while the user asked for it; a session's with the list of sources on the lines always; with
  // no source at all, the classic player's (the screen of a vanished player).
  Status Combine(Status classic, const std::optional<SessionsSnapshot>& sessions, int64_t now);

  // Where an action goes, by the source shown at the last Combine. The choice of a source (a
  // line in the list of sources, the list asked for or put away) is done here.
  RoutedAction Route(const Action& action, int64_t now);

 private:
  // A session's answers merged into the last ones known: what it did not answer this time keeps
  // its earlier value; a session no longer listed is gone.
  void Merge(const SessionsSnapshot& snapshot);
  const SessionSnapshot* Session(const SessionKey& key) const;
  Status SessionStatus(const SessionSnapshot& session, int64_t now) const;
  SourceLines Lines(std::size_t shown) const;

  std::vector<SessionSnapshot> sessions_;
  std::optional<PlayState> classicState_;  // the classic player's last answered play state
  std::wstring classicTitle_;              // and its song title
  // The sources as the last Combine listed them (the lines' order), and the one it showed.
  std::vector<SourceId> listed_;
  std::optional<SourceId> shown_;
  std::optional<SourceId> chosen_;  // the user's last choice, while that source is there
  bool listSources_ = false;        // the lines list the sources while the classic player shows
};

// The actions a session takes by its controls; the choice of a source is always there.
ActionSet SessionActions(const SessionControls& controls);

}  // namespace tokalux
