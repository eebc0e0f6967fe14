#pragma once
// GDI+ start-up and shut-down, each at most once per token.

// Starts GDI+ when no token is held; true when a token is held afterwards.
bool StartGraphics();
// Shuts GDI+ down when a token is held; false when there was none.
bool StopGraphics();
