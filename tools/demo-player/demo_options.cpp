#include "demo_options.h"

#include "demo_protocol.h"

namespace tokalux::demo {

std::optional<Options> ParseOptions(const std::vector<std::string>& arguments, std::string* error) {
  Options options;
  std::string playlist = std::string(ControlEntries) + " " + std::to_string(DefaultEntries);
  std::optional<std::string> position;
  std::optional<std::string> state;
  bool oldPlayer = false;
  bool scroll = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& option = arguments[i];
    const auto value = [&]() -> const std::string* {
      return i + 1 < arguments.size() ? &arguments[++i] : nullptr;
    };
    if (option == "--corner") {
      options.corner = true;
    } else if (option == "--old-player") {
      oldPlayer = true;
    } else if (option == "--scroll") {
      scroll = true;
    } else if (option == "--stopped") {
      state = std::string(ControlState) + " stopped";
    } else if (option == "--paused") {
      state = std::string(ControlState) + " paused";
    } else if (option == "--log" || option == "--entries" || option == "--playlist" ||
               option == "--position" || option == "--send" || option == "--session") {
      const std::string* text = value();
      if (!text) {
        *error = option + " needs a value";
        return std::nullopt;
      }
      if (option == "--log") {
        options.logFile = *text;
      } else if (option == "--entries") {
        playlist = std::string(ControlEntries) + " " + *text;
      } else if (option == "--playlist") {
        playlist = std::string(ControlPlaylist) + " " + *text;
      } else if (option == "--position") {
        position = std::string(ControlPosition) + " " + *text;
      } else if (option == "--session") {
        options.session = *text;
      } else {
        options.send = *text;
      }
    } else {
      *error = "unknown option " + option;
      return std::nullopt;
    }
  }
  options.setup.push_back(playlist);
  if (position) options.setup.push_back(*position);
  if (state) options.setup.push_back(*state);
  if (oldPlayer) options.setup.push_back(std::string(ControlOldPlayer) + " on");
  if (scroll) options.setup.push_back(std::string(ControlScroll) + " on");
  return options;
}

}  // namespace tokalux::demo
