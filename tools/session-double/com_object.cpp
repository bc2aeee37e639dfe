#include "com_object.h"

namespace tokalux::session_double {

HRESULT MakeString(std::wstring_view text, HSTRING* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (text.empty()) return S_OK;
  return ::WindowsCreateString(text.data(), static_cast<UINT32>(text.size()), out);
}

}  // namespace tokalux::session_double
