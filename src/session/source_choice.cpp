#include "session/source_choice.h"

namespace tokalux {

namespace {

// Higher ranks first.
int Rank(const SourceCandidate& source) {
  const int state = source.state == PlayState::Playing  ? 2
                    : source.state == PlayState::Paused ? 1
                                                        : 0;
  const int tieBreak = source.id.kind == SourceKind::Classic ? 2 : source.isSystemCurrent ? 1 : 0;
  return state * 4 + tieBreak;
}

}  // namespace

std::optional<std::size_t> ChooseSource(std::span<const SourceCandidate> sources,
                                        const std::optional<SourceId>& chosen) {
  if (chosen) {
    for (std::size_t i = 0; i < sources.size(); ++i) {
      if (sources[i].id == *chosen) return i;
    }
  }
  std::optional<std::size_t> best;
  for (std::size_t i = 0; i < sources.size(); ++i) {
    if (!best || Rank(sources[i]) > Rank(sources[*best])) best = i;
  }
  return best;
}

}  // namespace tokalux
