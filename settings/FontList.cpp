#include "settings/FontList.h"

#include "framework/TextConversion.h"
#include "framework/UniqueHandle.h"

#include <windows.h>

#include <iterator>
#include <optional>
#include <string_view>

namespace {

// A name the settings file can hold: GBK, and back without a loss.
std::optional<std::string> GbkName(std::wstring_view name) {
    BOOL lost = FALSE;
    const int size = WideCharToMultiByte(GbkCodePage, 0, name.data(), static_cast<int>(name.size()), nullptr,
                                         0, nullptr, &lost);
    if (size <= 0 || lost)
        return std::nullopt;
    return WideToMultiByte(name, GbkCodePage);
}

int CALLBACK CollectFaceName(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM names) {
    // lfFaceName holds at most 31 characters and its terminating zero.
    const wchar_t* face = font->lfFaceName;
    std::size_t length = 0;
    while (length < LF_FACESIZE && face[length] != L'\0')
        ++length;
    // "@" names a family's vertical form, which GDI+ cannot create.
    if (length > 0 && face[0] == L'@')
        return 1;
    if (std::optional<std::string> name = GbkName({face, length}))
        reinterpret_cast<std::vector<std::string>*>(names)->push_back(std::move(*name));
    return 1; // go on
}

} // namespace

std::vector<std::string> EnumerateFontFaceNames() {
    std::vector<std::string> names;
    WindowDc screen(nullptr);
    if (!screen.get())
        return names;
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExW(screen.get(), &wanted, &CollectFaceName, reinterpret_cast<LPARAM>(&names), 0);
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
            if (lstrcmpW(MultiByteToWide(name, GbkCodePage).c_str(),
                         MultiByteToWide(names[middle], GbkCodePage).c_str()) < 0)
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
