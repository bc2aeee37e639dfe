// The session manager: the current session, the list of sessions, and the events that say
// either changed.
#pragma once

#include <windows.h>

#include "com_object.h"
#include "event_source.h"
#include "hub.h"

namespace tokalux::session_double {

class Manager : public Object<Manager, media::ISessionManager> {
 public:
  static constexpr const wchar_t* ClassName =
      L"Windows.Media.Control.GlobalSystemMediaTransportControlsSessionManager";

  explicit Manager(Hub& hub) : hub_(hub) {}

  void FireSessionsChanged() { sessionsChanged_.Fire<media::iid::SessionsChangedEventArgs>(this); }
  void FireCurrentSessionChanged() {
    currentChanged_.Fire<media::iid::CurrentSessionChangedEventArgs>(this);
  }

  HRESULT STDMETHODCALLTYPE GetCurrentSession(media::ISession** session) override;
  HRESULT STDMETHODCALLTYPE GetSessions(media::IVectorView<media::ISession*>** sessions) override;
  HRESULT STDMETHODCALLTYPE
  add_CurrentSessionChanged(media::ITypedEventHandler<media::ISessionManager>* handler,
                            EventRegistrationToken* token) override {
    return currentChanged_.Add(handler, token);
  }
  HRESULT STDMETHODCALLTYPE remove_CurrentSessionChanged(EventRegistrationToken token) override {
    return currentChanged_.Remove(token);
  }
  HRESULT STDMETHODCALLTYPE
  add_SessionsChanged(media::ITypedEventHandler<media::ISessionManager>* handler,
                      EventRegistrationToken* token) override {
    return sessionsChanged_.Add(handler, token);
  }
  HRESULT STDMETHODCALLTYPE remove_SessionsChanged(EventRegistrationToken token) override {
    return sessionsChanged_.Remove(token);
  }

 private:
  Hub& hub_;
  EventSource<media::ISessionManager> currentChanged_;
  EventSource<media::ISessionManager> sessionsChanged_;
};

}  // namespace tokalux::session_double
