#include "manager.h"

#include <utility>
#include <vector>

#include "session.h"

namespace tokalux::session_double {
namespace {

// The sessions as they were when the list was asked for.
class SessionList : public Object<SessionList, media::IVectorView<media::ISession*>> {
 public:
  static constexpr const wchar_t* ClassName =
      L"Windows.Foundation.Collections.IVectorView`1<Windows.Media.Control."
      L"GlobalSystemMediaTransportControlsSession>";

  explicit SessionList(std::vector<ComPtr<Session>> sessions) : sessions_(std::move(sessions)) {}

  HRESULT STDMETHODCALLTYPE GetAt(UINT32 index, media::ISession** item) override {
    if (!item) return E_POINTER;
    *item = nullptr;
    if (index >= sessions_.size()) return media::BoundsError;
    sessions_[index].CopyTo(item);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Size(UINT32* size) override {
    if (!size) return E_POINTER;
    *size = static_cast<UINT32>(sessions_.size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE IndexOf(media::ISession* value, UINT32* index,
                                    media::Boolean* found) override {
    if (!index || !found) return E_POINTER;
    *index = 0;
    *found = 0;
    for (std::size_t i = 0; i < sessions_.size(); ++i) {
      if (static_cast<media::ISession*>(sessions_[i].get()) == value) {
        *index = static_cast<UINT32>(i);
        *found = 1;
        break;
      }
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetMany(UINT32 start, UINT32 capacity, media::ISession** items,
                                    UINT32* actual) override {
    if (!actual || (capacity > 0 && !items)) return E_POINTER;
    *actual = 0;
    if (start > sessions_.size()) return media::BoundsError;
    for (std::size_t i = start; i < sessions_.size() && *actual < capacity; ++i) {
      sessions_[i].CopyTo(&items[(*actual)++]);
    }
    return S_OK;
  }

 private:
  std::vector<ComPtr<Session>> sessions_;
};

}  // namespace

HRESULT Manager::GetCurrentSession(media::ISession** session) {
  if (!session) return E_POINTER;
  hub_.List().current.CopyTo(session);
  return S_OK;
}

HRESULT Manager::GetSessions(media::IVectorView<media::ISession*>** sessions) {
  if (!sessions) return E_POINTER;
  MakeComObject<SessionList>(hub_.List().sessions).CopyTo(sessions);
  return S_OK;
}

}  // namespace tokalux::session_double
