// Hostile settings files: generated, mutated and random "配置.ini" files,
// some in UTF-16 either way, through ReadSettings, the first frame and a
// save of the clock's new place. Never a crash or a hang; every number is
// TextToInt of what the program reads for its key; every value comes back
// from the saved file as it was written, byte for byte (hex, leading zeros
// and notes included); a file not read whole is never written. A well-formed
// file reads, before and after the save, as the platform's profile functions
// read it (under code page 936, where they decode GBK).
#include "config/ClockSettings.h"
#include "app/SystemIntegration.h"
#include "config/TextNumbers.h"
#include "clock/ClockFace.h"
#include "clock/HoverButtons.h"
#include "framework/TextConversion.h"
#include "support/ProgramFixture.h"
#include "support/ImportHook.h" // RunningUnderWine
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int ScreenWidth = 1920;
constexpr int ScreenHeight = 1080;
constexpr DWORD ReadBufferSize = 10240;
// One file through load, frame and save; the slowest take well under this.
constexpr auto CaseTimeLimit = std::chrono::seconds(20);

// Wine 8's GDI+ flattens a Bezier curve by recursion until its float
// flatness test passes, which it never does for glyphs many thousands of
// pixels large: the flattening inside DrawPath and Widen of a time drawn at
// -4000 overflows the stack there (Windows' GDI+ flattens iteratively, and
// later Wine does too). Under Wine the frame takes font sizes up to this
// far from zero; the file's value still goes through load and save.
constexpr std::int32_t LargestFontSizeWineFlattens = 1000;

std::int32_t FontSizeForTheFrame(std::int32_t size) {
    if (!RunningUnderWine())
        return size;
    return std::clamp(size, -LargestFontSizeWineFlattens, LargestFontSizeWineFlattens);
}

// 1,000 files in the suite; scripts/run-fuzz.sh sets TIKO_FUZZ_CASES for
// the long form (10,000 by default).
int FuzzCaseCount() {
    const char* text = std::getenv("TIKO_FUZZ_CASES");
    const int cases = text ? std::atoi(text) : 0;
    return cases > 0 ? cases : 1000;
}

std::string ReadKey(const std::string& path, const char* section, const char* key,
                    const std::string& fallback) {
    std::string buffer(ReadBufferSize, '\0');
    const DWORD length =
        GetPrivateProfileStringA(section, key, fallback.c_str(), buffer.data(), ReadBufferSize, path.c_str());
    buffer.resize(length);
    return buffer;
}

// The settings file's documented defaults, written down here once more (not
// taken from the loader's table): what a missing key reads as. The position's
// default is centred on the 1920 x 1080 screen.
struct DocumentedDefault {
    const char* section;
    const char* key;
    const char* text;
};
constexpr DocumentedDefault DocumentedDefaults[] = {
    {"基本设置", "开机启动", "假"},
    {"基本设置", "窗口置顶", "真"},
    {"基本设置", "分层透明", "真"},
    {"基本设置", "内存优化", "假"},
    {"基本设置", "恢复上次关闭时的位置", "真|770|465"},
    {"基本设置", "显示秒数", "真"},
    {"透明度", "整个窗口", "255"},
    {"透明度", "窗口底图", "150"},
    {"透明度", "时钟底图", "0"},
    {"透明度", "时钟", "255"},
    {"边框和底图", "外边框", "8421504"},
    {"边框和底图", "内边框", "16777215"},
    {"边框和底图", "窗口底图", "13487565"},
    {"边框和底图", "时钟底图", "16746496"},
    {"时钟", "字体颜色", "9492264"},
    {"时钟", "字体大小", "80"},
    {"时钟", "描边颜色", "16777215"},
    {"时钟", "描边大小", "5"},
    {"时钟", "字体名称", "微软雅黑"},
    {"基本设置", "鼠标穿透", "假"},
    {"基本设置", "显示托盘图标", "真"},
    {"时钟", "显示日期", "假"},
    {"时钟", "日期格式", "长"},
    {"时钟", "十二小时制", "假"},
    {"时钟", "时区", ""},
    {"时钟", "时区名称", ""},
    {"基本设置", "全屏时隐藏", "假"},
    {"基本设置", "界面语言", "自动"},
};

std::string DefaultText(const SettingField& field) {
    for (const DocumentedDefault& d : DocumentedDefaults)
        if (std::string_view(d.section) == field.section && std::string_view(d.key) == field.key)
            return d.text;
    ADD_FAILURE() << field.key << " is not a documented key";
    return {};
}

// A number written by the generator and the value it stands for.
struct KnownNumber {
    const SettingField* field;
    std::int32_t value;
};

struct FuzzFile {
    std::string bytes;
    std::vector<KnownNumber> known; // keys that occur once, in a section that occurs once
    bool wellFormed = false;        // valid GBK lines of sections and keys
};

class Generator {
public:
    explicit Generator(unsigned seed) : random(seed) {}

    FuzzFile Next(int index) {
        switch (index % 10) {
        case 0:
        case 1:
            return RandomBytes();
        case 2:
        case 3:
        case 4:
        case 5:
            return Mutated(Structured());
        default:
            return Structured();
        }
    }

private:
    unsigned Below(unsigned limit) { return limit ? static_cast<unsigned>(random() % limit) : 0; }
    bool Chance(unsigned percent) { return Below(100) < percent; }

    std::string RandomText(std::size_t length) {
        std::string text;
        for (std::size_t i = 0; i < length; ++i)
            text.push_back(static_cast<char>(Below(256)));
        return text;
    }

    FuzzFile RandomBytes() { return {RandomText(Chance(90) ? Below(4096) : Below(40000)), {}}; }

    // A number in one of the forms a hand, an editor or another program may
    // leave, with the value TextToInt's rules give it.
    std::pair<std::string, std::int32_t> Number() {
        const std::int64_t magnitudes[] = {0,     1,          5,          80,         255,        256,
                                           10000, 2147483647, 2147483648, 4294967296, 99999999999};
        std::int64_t value = Chance(50) ? magnitudes[Below(std::size(magnitudes))] : Below(1u << 31);
        if (Chance(30))
            value = -value;
        std::string digits = std::to_string(value < 0 ? -value : value);
        if (Chance(15))
            digits.insert(0, Below(4), '0');
        std::string text;
        const bool fullWidth = Chance(25);
        if (Chance(20))
            text += fullWidth && Chance(50) ? "\xA1\xA1" : Chance(50) ? " " : "\t";
        if (value < 0)
            text += fullWidth ? "\xA3\xAD" : "-";
        else if (Chance(15))
            text += fullWidth ? "\xA3\xAB" : "+";
        for (char d : digits) {
            if (fullWidth)
                text += std::string{'\xA3', static_cast<char>(d + 0x80)};
            else
                text += d;
        }
        if (Chance(20))
            text += Chance(50) ? "px" : ".75";
        else if (Chance(10))
            text += " ;" + std::string(Chance(50) ? "a note" : "半透明");
        if (Chance(5))
            return {(value < 0 ? "-0x" : "0x") + std::to_string(value < 0 ? -value : value), 0};
        const std::int64_t saturated =
            std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(), INT_MAX);
        return {text, static_cast<std::int32_t>(saturated)};
    }

    std::string Text() {
        static const std::string texts[] = {"真",
                                            "假",
                                            "",
                                            "1",
                                            "0",
                                            "true",
                                            "TRUE",
                                            "真 ",
                                            "\"真\"",
                                            "'假'",
                                            "微软雅黑",
                                            "No Such Font",
                                            "WenQuanYi Micro Hei",
                                            std::string(31, 'F'),
                                            std::string(200, 'G')};
        switch (clean ? 3 + Below(3) : Below(6)) {
        case 0:
            return RandomText(Below(40)); // invalid GBK, line breaks, brackets among it
        case 1:
            return std::string(10240 + Below(3000), static_cast<char>('a' + Below(26)));
        case 2:
            return std::string(Below(8) * 2 + 1, '\x81'); // lead bytes without a trail
        default:
            return texts[Below(std::size(texts))];
        }
    }

    std::string Position() {
        const unsigned parts = Below(6);
        std::string text;
        for (unsigned i = 0; i < parts; ++i) {
            if (i)
                text += '|';
            text += i == 0 ? (Chance(60) ? std::string(Chance(50) ? "真" : "假") : Text()) : Number().first;
        }
        return text;
    }

    std::string LineEnd() {
        static const char* const ends[] = {"\r\n", "\n", "\r"};
        return ends[Chance(80) ? 0 : Below(3)];
    }

    // A clean file holds only well-formed lines, so that the value of each
    // key written once is known; the others hold anything at all.
    FuzzFile Structured() {
        clean = Chance(40);
        FuzzFile file;
        file.wellFormed = clean;
        static const char* const sections[] = {"基本设置", "透明度", "边框和底图", "时钟"};
        std::vector<const char*> order(std::begin(sections), std::end(sections));
        std::shuffle(order.begin(), order.end(), random);
        const bool byteOrderMark = !clean && Chance(10);
        if (byteOrderMark)
            file.bytes += "\xEF\xBB\xBF"; // a UTF-8 byte order mark before GBK text
        for (const char* section : order) {
            if (Chance(15))
                continue; // a missing section
            const int copies = Chance(10) ? 2 : 1;
            for (int copy = 0; copy < copies; ++copy) {
                file.bytes += std::string(Chance(10) ? " [" : "[") + section + "]" + LineEnd();
                for (const SettingField& field : SettingFields) {
                    if (std::string_view(field.section) != section || Chance(10))
                        continue;
                    const int times = Chance(8) ? 2 : 1; // a duplicate key
                    for (int t = 0; t < times; ++t) {
                        std::string value;
                        std::optional<std::int32_t> known;
                        if (field.kind == FieldKind::Number && Chance(85)) {
                            auto [text, number] = Number();
                            value = text;
                            known = number;
                        } else if (field.kind == FieldKind::Position) {
                            value = Position();
                        } else {
                            value = Text();
                        }
                        file.bytes += std::string(field.key) + (Chance(10) ? " = " : "=") + value + LineEnd();
                        if (known && clean && times == 1 && copies == 1)
                            file.known.push_back({&field, *known});
                    }
                }
                if (!clean && Chance(20))
                    file.bytes += "; a comment" + LineEnd() + "junk line without equals" + LineEnd();
            }
        }
        if (!clean && Chance(10))
            file.bytes += "[" + RandomText(Below(10)) + "]" + LineEnd() + "k=v" + LineEnd();
        file.wellFormed = file.wellFormed && GetACP() == GbkCodePage;
        if (clean && Chance(15))
            AsUtf16(file);
        return file;
    }

    // Notepad's "Unicode" or "Unicode big endian": the same values, which
    // the platform's ANSI functions cannot read.
    void AsUtf16(FuzzFile& file) {
        const bool bigEndian = Chance(50);
        const std::wstring wide = L"\xFEFF" + MultiByteToWide(file.bytes, GbkCodePage);
        file.bytes.clear();
        for (const wchar_t unit : wide) {
            const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
            file.bytes += bigEndian ? std::string{high, low} : std::string{low, high};
        }
        file.wellFormed = false;
    }

    FuzzFile Mutated(FuzzFile file) {
        file.known.clear(); // a mutation may touch any of them
        file.wellFormed = false;
        std::string& bytes = file.bytes;
        const unsigned edits = 1 + Below(8);
        for (unsigned e = 0; e < edits && !bytes.empty(); ++e) {
            const std::size_t at = Below(static_cast<unsigned>(bytes.size()));
            switch (Below(5)) {
            case 0:
                bytes[at] = static_cast<char>(Below(256));
                break;
            case 1:
                bytes.insert(at, RandomText(1 + Below(16)));
                break;
            case 2:
                bytes.erase(at, 1 + Below(32));
                break;
            case 3:
                bytes.insert(at, bytes.substr(at, Below(64)));
                break;
            default:
                bytes.resize(at);
                break;
            }
        }
        return file;
    }

    std::mt19937 random;
    bool clean = false;
};

// The record holds what the file's text says: the position whole, a text
// as read (the zone's label its first characters), every other field in
// the text it was read from.
bool HoldsAsRead(const ClockSettings& loaded, const SettingField& field, const std::string& text) {
    switch (field.kind) {
    case FieldKind::Position:
        return loaded.positionText == text;
    case FieldKind::Text:
        if (field.text == &ClockSettings::zoneLabel)
            return text.starts_with(loaded.zoneLabel) &&
                   (loaded.zoneLabel == text || loaded.zoneLabel.size() >= LongestZoneLabel);
        return loaded.*field.text == text;
    default:
        return FieldText(loaded, field) == text;
    }
}

class IniFuzz : public ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        DrawWindowBackdrop(App().clock);
        SetupButtons(App().clock);
        path = directory.File("配置.ini");
        widePath = directory.WideFile("配置.ini");
    }

    TempDirectory directory;
    std::string path;
    std::wstring widePath;
};

TEST_F(IniFuzz, LoadFrameAndSaveHoldForEveryFile) {
    Generator generator(20260101);
    const int cases = FuzzCaseCount();
    int failures = 0;
    auto slowest = Clock::duration::zero();
    int slowestCase = -1;
    for (int i = 0; i < cases && failures < 20; ++i) {
        const FuzzFile file = generator.Next(i);
        WriteFileBytes(path, file.bytes);
        const auto start = Clock::now();

        const SettingsRead read = ReadSettings(widePath, ScreenWidth, ScreenHeight);
        const ClockSettings& loaded = read.settings;
        std::vector<std::string> texts; // each field's text as the program's reader gives it
        for (const SettingField& field : SettingFields) {
            const std::string text = ReadIniText(widePath, field.section, field.key, DefaultText(field));
            texts.push_back(text);
            if (file.wellFormed && text != ReadKey(path, field.section, field.key, DefaultText(field))) {
                ADD_FAILURE() << "case " << i << ": " << field.key << " not as the platform reads it";
                ++failures;
            }
            if (field.kind == FieldKind::Number && loaded.*field.number != TextToInt(text)) {
                ADD_FAILURE() << "case " << i << ": " << field.key << " read as " << loaded.*field.number
                              << ", TextToInt gives " << TextToInt(text);
                ++failures;
            }
            if (!HoldsAsRead(loaded, field, text)) {
                ADD_FAILURE() << "case " << i << ": " << field.key << " not held as it reads";
                ++failures;
            }
        }
        for (const KnownNumber& known : file.known) {
            if (loaded.*known.field->number != known.value) {
                ADD_FAILURE() << "case " << i << ": " << known.field->key << " read as "
                              << loaded.*known.field->number << ", written as " << known.value;
                ++failures;
            }
        }

        // The first frame.
        App().settings = loaded;
        App().settings.fontSize = FontSizeForTheFrame(loaded.fontSize);
        App().clock.clockCanvas.SetAlpha(App().settings.windowAlpha);
        RedrawClock(App().clock, true);

        // The clock moved, nothing else changed: a save writes the place, and
        // a file that could not be read whole keeps every byte.
        const SaveResult saved = SaveSettingChanges(widePath, widePath, loaded, loaded, {-123, 4567});
        if (!read.file.Writable()) {
            if (saved || ReadFileBytes(path) != file.bytes) {
                ADD_FAILURE() << "case " << i << ": a file not read whole was written";
                ++failures;
            }
            continue;
        }
        for (std::size_t f = 0; f < SettingFields.size(); ++f) {
            const SettingField& field = SettingFields[f];
            const std::string reread = ReadIniText(widePath, field.section, field.key, "\x01missing");
            // Every text as it was read, numbers in the form they were
            // written in, and the position's flag with the window's place.
            std::string expected = texts[f];
            if (field.kind == FieldKind::Position)
                expected = SplitAtBars(texts[f]).front() + "|-123|4567";
            if (expected.size() >= IniReadBufferSize) // read back through the reader's buffer
                expected.resize(IniReadBufferSize - 1);
            if (file.wellFormed && reread != ReadKey(path, field.section, field.key, "\x01missing")) {
                ADD_FAILURE() << "case " << i << ": " << field.key << " saved not as the platform reads it";
                ++failures;
            }
            if (reread != expected) {
                ADD_FAILURE() << "case " << i << ": " << field.key << " saved as " << reread.size()
                              << " bytes, read as " << expected.size();
                ++failures;
            }
        }

        const auto took = Clock::now() - start;
        if (took > slowest) {
            slowest = took;
            slowestCase = i;
        }
    }
    EXPECT_LT(slowest, CaseTimeLimit) << "case " << slowestCase;
    RecordProperty("cases", cases);
    RecordProperty("slowestMilliseconds",
                   static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(slowest).count()));
}

// The generator's known numbers are TextToInt's rules stated once more, from
// the other side: a sample of forms and the values they must give.
TEST(IniFuzzNumbers, FormsReadAsTheirValues) {
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {{"\xA3\xB8\xA3\xB0", 80},
                 {"\xA3\xAD\xA3\xB5", -5},
                 {"\xA1\xA1 42px", 42},
                 {"+0007", 7},
                 {"-2147483648", INT_MIN},
                 {"-99999999999", INT_MIN},
                 {"99999999999", INT_MAX},
                 {"4294967296", INT_MAX},
                 {"12.75", 12},
                 {"\xA3\xAB\xA3\xB1\xA3\xB2", 12},
                 {"\t-0", 0},
                 {"\x81", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(TextToInt(c.text), c.value) << c.text;
}

} // namespace
