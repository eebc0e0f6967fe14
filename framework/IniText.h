#pragma once
// An INI file's text, GBK, read and changed in the process: the same
// answers on every system code page (the platform's profile functions decode
// a file with the ANSI code page, which damages GBK text under any other).
//
// A line is ended by CR LF, LF or CR. "[name]" opens a section; "key=value"
// is a key, both trimmed of spaces and tabs, the value's enclosing pair of
// double or single quotes dropped when read. Names compare without regard to
// case. The first section of a name and its first key of a name count.
// Double-byte GBK characters are stepped over whole, so that a trail byte
// never reads as "[", "]" or "=".
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

class IniText {
public:
    explicit IniText(std::string text = {}) : text(std::move(text)) {}

    const std::string& Text() const { return text; }

    // The key's value as read (trimmed, unquoted); nothing for a missing key.
    std::optional<std::string> Value(std::string_view section, std::string_view key) const;

    // Gives the key that value (as the file holds it, quotes and all): its
    // line is written anew unless it reads as the value already; a missing key goes after the last line of
    // its section, a missing section at the end of the text. Other lines stay as they are, byte for byte.
    void SetValue(std::string_view section, std::string_view key, std::string_view value);

private:
    struct Line {
        std::size_t begin; // first byte of the line
        std::size_t end;   // one past its last byte, before the line break
        std::size_t next;  // first byte of the next line
    };
    struct Found {
        std::optional<Line> section; // its header
        std::optional<Line> key;     // its line, in that section
        std::size_t sectionEnd = 0;  // one past the section's last line that is not blank
    };

    std::optional<Line> LineAt(std::size_t at) const;
    Found Find(std::string_view section, std::string_view key) const;

    std::string text;
};
