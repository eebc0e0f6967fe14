#pragma once
// The graphics layer's one process-wide status: what the last GDI+ call
// answered. Written by every GDI+ call of the layer, by the layer itself with
// 2 for an empty count and 1 for a failed blend; never reset otherwise and
// never touched by GDI or kernel calls.
#include <cstdint>

inline std::int32_t LastStatus = 0;

// Records a GDI+ status and answers whether it was Ok.
template <class Status> inline bool RecordStatus(Status status) {
    LastStatus = static_cast<std::int32_t>(status);
    return LastStatus == 0;
}

// Status the layer writes when a caller passes a count of zero or less.
inline constexpr std::int32_t InvalidParameterStatus = 2;
// Status the layer writes when a GDI blend fails.
inline constexpr std::int32_t GenericErrorStatus = 1;

// Refuses a count of zero or less the way every array operation does.
inline bool RequirePositiveCount(int count) {
    if (count > 0)
        return true;
    LastStatus = InvalidParameterStatus;
    return false;
}
