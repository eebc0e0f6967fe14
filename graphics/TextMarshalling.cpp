#include "graphics/TextMarshalling.h"

int WideLength(std::wstring_view text) {
    const std::size_t end = text.find(L'\0');
    return static_cast<int>(end == std::wstring_view::npos ? text.size() : end);
}
