// The fixed control IDs of the form's child windows. Tests and scripting tools find the controls
// by these; the form addresses its controls by them. The names are the ones these controls have
// always had on the form this screen reproduces (German abbreviations and all), kept unchanged so
// that every description of a control and every script written against it names the same thing
// as the code.
#pragma once

#include "remote/status_screen.h"

namespace tokalux::ControlId {

inline constexpr int lblInterpret_Titel = 101;
inline constexpr int lblSongName = 102;
inline constexpr int lbltrackvontracks = 103;
inline constexpr int lblTime = 104;
inline constexpr int Label5 = 105;
inline constexpr int lblTimegesamt = 106;
inline constexpr int lblkom2 = 107;
inline constexpr int lbl_lauts = 108;

inline constexpr int Frame1 = 120;
inline constexpr int Label2 = 121;
inline constexpr int Label3 = 122;
inline constexpr int Label4 = 123;
inline constexpr int lblSample = 124;
inline constexpr int lblBitrate = 125;
inline constexpr int lblChannels = 126;

inline constexpr int cmdPrev = 201;
inline constexpr int cmdFRW = 202;
inline constexpr int cmdStop = 203;
inline constexpr int cmdPlay = 204;
inline constexpr int cmdPause = 205;
inline constexpr int cmdFFW = 206;
inline constexpr int cmdNext = 207;
inline constexpr int cmdPLStart = 208;
inline constexpr int cmdPLEnd = 209;
inline constexpr int cmdPLMitte = 210;
inline constexpr int cmdPLp10 = 211;
inline constexpr int cmdPLm10 = 212;
inline constexpr int cmdVolIncr = 213;
inline constexpr int cmdVolDecr = 214;
inline constexpr int cmdEnd = 215;

// The current track's picture (no caption; black while there is none).
inline constexpr int picCover = 130;

inline constexpr int sldLength = 301;
inline constexpr int sldVol = 302;

// The playlist lines, lblplaylist(1) .. lblplaylist(PlaylistLineCount).
constexpr int lblplaylist(int index) {
  return 400 + index;
}

}  // namespace tokalux::ControlId
