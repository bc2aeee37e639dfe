// The current track's picture, found, read and decoded on a thread of its own, so a slow disk or
// network share never holds up the user-interface thread or the player thread.
//
// The user-interface thread asks with Request(path, side) when the track changes; a request
// replaces the one before it, and the work still under way for an older one is given up. When
// the latest request's result is ready the worker posts `message` to `window` (wParam and lParam
// 0; it never sends to a window or touches one otherwise), and the user-interface thread takes
// the result with Take(). A result that a newer request has overtaken is never delivered.
//
// Where the picture is looked for, in order: the picture embedded in the file (see
// embedded_picture.h), then the pictures beside it (SidePictureRank in track_path.h), best
// first. The first that decodes counts; a stream, a CD track, a path that is no file and a file
// that cannot be opened have none.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "art/byte_source.h"
#include "art/pixels.h"

namespace tokalux {

struct ArtResult {
  std::wstring trackPath;         // as requested
  int side = 0;                   // as requested
  std::optional<Pixels> picture;  // side by side pixels; nullopt: the track has no picture
};

class ArtWorker {
 public:
  // How the worker opens a file (the track, a picture beside it), given the event that is set
  // when the work is no longer wanted: FileSource::Open in the product; a test may hand out
  // sources of its own.
  using Opener =
      std::function<std::unique_ptr<ByteSource>(const std::wstring& path, HANDLE giveUp)>;
  static Opener DefaultOpener();

  // Starts the thread (COM in its multithreaded apartment, a WIC factory of its own).
  ArtWorker(HWND window, UINT message, Opener open = DefaultOpener());
  // Gives up the work under way and waits for the thread briefly: reads end at once, and a call
  // that cannot wait on an event (opening a file, listing a folder on a share that stopped
  // answering) is cancelled with CancelSynchronousIo. A thread still busy after half a second
  // (a long decode) is left to end on its own and delivers nothing. Nothing else need wait for
  // the worker: ending the process while it works is fine.
  ~ArtWorker();
  ArtWorker(const ArtWorker&) = delete;
  ArtWorker& operator=(const ArtWorker&) = delete;

  // Asks for the picture of trackPath scaled into a square of side pixels (1..MaxSide); with
  // bytes, for those decoded instead (an encoded picture a source handed over, trackPath its
  // name). The work for an older request ends at its next open or decode; a blocking call of it
  // (an open on a share that stopped answering) is cancelled with CancelSynchronousIo, again and
  // again for as long as this request waits behind it.
  void Request(std::wstring trackPath, int side,
               std::shared_ptr<const std::vector<uint8_t>> bytes = nullptr);

  // The latest request's result, once, after its message; nullopt when there is none (not yet
  // ready, already taken, or overtaken by a newer request).
  std::optional<ArtResult> Take();

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
  std::thread thread_;
  std::thread canceller_;  // cancels the worker's blocking calls while a newer request waits
};

}  // namespace tokalux
