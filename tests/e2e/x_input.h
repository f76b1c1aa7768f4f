// Real mouse and keyboard input through the X server Wine draws on, made
// by xdotool on the Linux side. Wine starts Unix programs through
// CreateProcessW but hands back no usable process handle, so each command
// touches a marker file on C: when it has finished, and the caller waits
// for that file.
#pragma once
#include <windows.h>
#include <string>

bool x_input_available();
// Moves the pointer to the middle of a screen rectangle and clicks.
bool x_click(const RECT& screen_rect);
// Types text into the window that has the keyboard focus.
bool x_type(const std::string& text);
// Gives a window of this display the X input focus, which Wine does not
// give a new window by itself.
bool x_focus(HWND window);
// Presses one key, for example "ctrl+a" or "Return".
bool x_key(const std::string& key);
