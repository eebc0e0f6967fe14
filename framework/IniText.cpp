#include "framework/IniText.h"

#include "framework/TextConversion.h"

#include <windows.h>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsLineBreak(char c) {
    return c == '\r' || c == '\n';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Where the character c first stands, stepping over double-byte characters.
std::size_t FindSingleByte(std::string_view text, char c) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == c)
            return i;
        if (IsGbkLeadByte(text[i]))
            ++i;
    }
    return std::string_view::npos;
}

// The section a header line names; nothing for any other line.
std::optional<std::string_view> SectionOf(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    const std::size_t close = FindSingleByte(line, ']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyLine> KeyOf(std::string_view line) {
    line = Trim(line);
    const std::size_t equals = FindSingleByte(line, '=');
    if (line.empty() || line.front() == '[' || equals == std::string_view::npos)
        return std::nullopt;
    return KeyLine{Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))};
}

std::string_view Unquoted(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// Names as the profile functions compare them: case ignored.
bool SameName(std::string_view a, std::string_view b) {
    if (a == b)
        return true;
    const std::wstring wideA = MultiByteToWide(a, GbkCodePage);
    const std::wstring wideB = MultiByteToWide(b, GbkCodePage);
    return CompareStringOrdinal(wideA.data(), static_cast<int>(wideA.size()), wideB.data(),
                                static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}

} // namespace

std::optional<IniText::Line> IniText::LineAt(std::size_t at) const {
    if (at >= text.size())
        return std::nullopt;
    std::size_t end = at;
    while (end < text.size() && !IsLineBreak(text[end]))
        ++end;
    std::size_t next = end;
    if (next < text.size())
        next += text[next] == '\r' && next + 1 < text.size() && text[next + 1] == '\n' ? 2 : 1;
    return Line{at, end, next};
}

IniText::Found IniText::Find(std::string_view section, std::string_view key) const {
    Found found;
    const std::string_view all(text);
    for (std::optional<Line> line = LineAt(0); line; line = LineAt(line->next)) {
        const std::string_view content = all.substr(line->begin, line->end - line->begin);
        if (const std::optional<std::string_view> name = SectionOf(content)) {
            if (found.section)
                break; // the first section of the name has ended
            if (SameName(*name, section)) {
                found.section = line;
                found.sectionEnd = line->next;
            }
            continue;
        }
        if (!found.section)
            continue;
        if (!Trim(content).empty())
            found.sectionEnd = line->next;
        const std::optional<KeyLine> entry = KeyOf(content);
        if (!found.key && entry && SameName(entry->key, key))
            found.key = line;
    }
    return found;
}

std::optional<std::string> IniText::Value(std::string_view section, std::string_view key) const {
    const Found found = Find(section, key);
    if (!found.key)
        return std::nullopt;
    const std::string_view line =
        std::string_view(text).substr(found.key->begin, found.key->end - found.key->begin);
    return std::string(Unquoted(KeyOf(line)->value));
}

void IniText::SetValue(std::string_view section, std::string_view key, std::string_view value) {
    const Found found = Find(section, key);
    const std::string entry = std::string(key) + "=" + std::string(value);
    if (found.key) {
        const std::string_view line =
            std::string_view(text).substr(found.key->begin, found.key->end - found.key->begin);
        if (Unquoted(KeyOf(line)->value) != Unquoted(value))
            text.replace(found.key->begin, found.key->end - found.key->begin, entry);
        return;
    }
    // A last line without its line break gets one before anything follows it.
    const auto lineBreakBefore = [&](std::size_t at) {
        return at > 0 && !IsLineBreak(text[at - 1]) ? "\r\n" : "";
    };
    if (found.section) {
        const std::size_t at = found.sectionEnd;
        text.insert(at, lineBreakBefore(at) + entry + "\r\n");
        return;
    }
    text += lineBreakBefore(text.size()) + ("[" + std::string(section) + "]\r\n") + entry + "\r\n";
}
