// What the status display writes to the screen, and reads back from it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tokalux {

class StatusScreen {
 public:
  virtual ~StatusScreen() = default;

  // Sets a label's caption (see control_ids.h). Setting the caption it already has changes
  // nothing on screen.
  virtual void SetCaption(int controlId, std::wstring_view caption) = 0;
  virtual std::wstring Caption(int controlId) const = 0;

  // Sets a label's text colour (0x00BBGGRR).
  virtual void SetTextColour(int controlId, uint32_t colour) = 0;

  // The seek slider's maximum and value; false when the slider refuses the setting, which then
  // leaves it as it was.
  virtual bool SetSeekMaximum(int32_t maximum) = 0;
  virtual bool SetSeekValue(int32_t value) = 0;

  // The volume slider's step, 0..10.
  virtual void SetVolumePosition(int32_t position) = 0;
};

}  // namespace tokalux
