#include "settings/FontList.h"

#include "framework/UniqueHandle.h"

#include <windows.h>

#include <iterator>

namespace {

int CALLBACK CollectFaceName(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM names) {
    // lfFaceName holds at most 31 bytes and its terminating zero.
    const char* face = font->lfFaceName;
    std::size_t length = 0;
    while (length < LF_FACESIZE && face[length] != '\0')
        ++length;
    reinterpret_cast<std::vector<std::string>*>(names)->emplace_back(face, length);
    return 1; // go on
}

} // namespace

std::vector<std::string> EnumerateFontFaceNames() {
    std::vector<std::string> names;
    WindowDc screen(nullptr);
    if (!screen.get())
        return names;
    LOGFONTA wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExA(screen.get(), &wanted, &CollectFaceName, reinterpret_cast<LPARAM>(&names), 0);
    return names;
}

std::vector<std::string> DropRepeatedNames(std::vector<std::string> names) {
    std::vector<std::string> kept;
    kept.reserve(names.size());
    const std::string* visitedBefore = nullptr;
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        const bool repeat = visitedBefore && *name == *visitedBefore;
        visitedBefore = &*name;
        if (!repeat)
            kept.push_back(*name);
    }
    return {std::make_move_iterator(kept.rbegin()), std::make_move_iterator(kept.rend())};
}

std::vector<std::string> SortNamesByLstrcmp(std::vector<std::string> names) {
    for (std::size_t sorted = 1; sorted < names.size(); ++sorted) {
        std::string name = std::move(names[sorted]);
        std::size_t low = 0, high = sorted;
        while (low < high) {
            const std::size_t middle = low + (high - low) / 2;
            if (lstrcmpA(name.c_str(), names[middle].c_str()) < 0)
                high = middle;
            else
                low = middle + 1;
        }
        for (std::size_t i = sorted; i > low; --i)
            names[i] = std::move(names[i - 1]);
        names[low] = std::move(name);
    }
    return names;
}

std::vector<std::string> EnumerateFontNames() {
    return SortNamesByLstrcmp(DropRepeatedNames(EnumerateFontFaceNames()));
}
