#pragma once
// The settings window's "恢复默认设置": every setting back to its default,
// applied to the clock at once. The file is written at close, as always.
void RestoreDefaultSettings();
