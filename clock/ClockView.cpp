#include "clock/ClockView.h"

#include "clock/FaceInternal.h"

ClockView::ClockView(const ClockSettings& shown)
    : settings(shown), faceCache(std::make_unique<FaceCache>()) {}

ClockView::~ClockView() = default;
