// What the demo player and the programs that drive it (end-to-end tests, scripts) agree on: the
// executable's name, the tag of a control message and the control command words.
//
// A control command is a WM_COPYDATA sent to the player window with dwData = ControlTag and the
// command as ASCII text (cbData bytes, no terminator needed). The player answers TRUE when it
// understood and applied the command, FALSE otherwise (and then changes nothing).
#pragma once

#include <cstdint>

namespace tokalux::demo {

inline constexpr const char* DemoPlayerExe = "tokalux-demo-player.exe";

// 'TKLX'
inline constexpr uint32_t ControlTag = 0x544B4C58;

// Control command words. Arguments follow, separated by spaces; TEXT runs to the end of the
// command and may hold \xNN escapes (any byte) and \\ (a backslash). After unescaping, TEXT is
// UTF-8 (each byte of a malformed sequence reads as U+FFFD). The player keeps every title as
// UTF-16 and as bytes in the system's ANSI code page (what the code page lacks becomes '?');
// titlebytes sets the ANSI bytes, and the UTF-16 title is those bytes widened with the code
// page. titleatpageend ends both forms at the end of a readable page; titleodd starts the UTF-16
// title at an odd address. An old player ("old on", or --old-player) does not know the UTF-16
// title-address request (it answers 1, as to every request it does not know) and sets its caption
// in ANSI. A scrolling caption ("scroll on", or --scroll) turns left by one character every
// 200 ms, as the real player's does with its taskbar option on. A slow player ("slow MS") answers
// every command and request only after MS, as a player under heavy load does, until "slow 0";
// control commands are not delayed.
inline constexpr const char* ControlEntries = "entries";                // N
inline constexpr const char* ControlPlaylist = "playlist";              // FILE
inline constexpr const char* ControlTitle = "title";                    // K TEXT
inline constexpr const char* ControlTitleBytes = "titlebytes";          // K HEX
inline constexpr const char* ControlTitleAtPageEnd = "titleatpageend";  // K TEXT
inline constexpr const char* ControlTitleOdd = "titleodd";              // K TEXT
inline constexpr const char* ControlPath = "path";                      // K TEXT
inline constexpr const char* ControlPosition = "position";              // K
inline constexpr const char* ControlTime = "time";                      // MS
inline constexpr const char* ControlTrackLength = "tracklength";        // S (-1: a stream)
inline constexpr const char* ControlState = "state";                    // playing|paused|stopped
inline constexpr const char* ControlVolume = "volume";                  // V
inline constexpr const char* ControlStream = "stream";                  // RATE BITRATE CHANNELS
inline constexpr const char* ControlClock = "clock";                    // on|off
inline constexpr const char* ControlAnswer = "answer";    // NUMBER WPARAM|* VALUE, clear
inline constexpr const char* ControlRandom = "random";    // on [SEED] | off
inline constexpr const char* ControlCaption = "caption";  // TEXT | auto
inline constexpr const char* ControlOldPlayer = "old";    // on|off
inline constexpr const char* ControlScroll = "scroll";    // on|off
inline constexpr const char* ControlHang = "hang";        // MS [next]
inline constexpr const char* ControlSlow = "slow";        // MS
inline constexpr const char* ControlVanish = "vanish";
inline constexpr const char* ControlDie = "die";
inline constexpr const char* ControlLog = "log";  // clear

// A demo player started with --session APPID publishes its state as a media session through the
// session manager double (tools/session-double) instead of showing a classic player window: its
// window has the class SessionWindowClass, not the player's. The session's title and artist are
// the shown entry's title split at its first " - "; its track number and count, the entry's place
// in the list (none for a stream); its timeline, the elapsed time and the length; its status, the
// play state. Requests that reach the session change the player as its own commands do, each
// logged as "session <action> [argument]" (see session_view.h), whether the session accepts the
// action or not. Its accepted actions ("sessioncontrols", names as in ActionNames of
// session_protocol.h, or "none"), its thumbnail ("sessionpicture" with a picture file's path;
// nothing after the space: none), when the double's operations complete ("sessionasync"; for
// all of them or one of manager, properties, requests, thumbnail: at once, after MS, or never),
// events fired with no change ("sessionevent") and which session is the system's current one
// ("sessioncurrent": this one) are steered by the words below.
inline constexpr const char* SessionWindowClass = "tokalux demo session";
inline constexpr const char* ControlSessionControls = "sessioncontrols";  // NAME... | none
inline constexpr const char* ControlSessionPicture = "sessionpicture";    // TEXT
inline constexpr const char* ControlSessionAsync = "sessionasync";        // KIND|all now|never|MS
inline constexpr const char* ControlSessionEvent =
    "sessionevent";  // media|playback|timeline|sessions|current
inline constexpr const char* ControlSessionCurrent = "sessioncurrent";

// Log line prefixes: "command <id>", "request <number> <wparam>", "control <text>", "session
// <action> [argument]" for a request that reached the player's media session, and
// "dialog Open file(s)" for the modal file dialog the real player opens on Play with an empty
// playlist. A request's wParam is logged whole, as a signed 64-bit number; the player itself uses
// its low 32 bits.
inline constexpr const char* LogCommand = "command ";
inline constexpr const char* LogRequest = "request ";
inline constexpr const char* LogControl = "control ";
inline constexpr const char* LogFileDialog = "dialog Open file(s)";
inline constexpr const char* LogSession = "session ";

// Exit codes of `--send`.
inline constexpr int SendAccepted = 0;
inline constexpr int SendNoPlayer = 1;
inline constexpr int SendRejected = 2;

// Exit codes of the player: a bad command line or set-up, and the `die` control command.
inline constexpr int StartFailed = 2;
inline constexpr unsigned DieExitCode = 9;

}  // namespace tokalux::demo
