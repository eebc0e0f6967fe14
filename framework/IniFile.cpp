#include "framework/IniFile.h"

#include "framework/Services.h"
#include "framework/TextConversion.h"
#include "framework/UniqueHandle.h"

#include <aclapi.h>

#include <algorithm>
#include <string_view>

namespace {

constexpr std::string_view Utf8ByteOrderMark("\xEF\xBB\xBF", 3);
constexpr std::string_view Utf16LittleEndianMark("\xFF\xFE", 2);
constexpr std::string_view Utf16BigEndianMark("\xFE\xFF", 2);
// Forms an editor may save in that the reader does not take: UTF-32 both
// ways (before UTF-16's mark, which begins the same), UTF-7, UTF-1,
// UTF-EBCDIC, SCSU, BOCU-1 and GB18030's own mark.
constexpr std::string_view UnknownByteOrderMarks[] = {
    {"\xFF\xFE\x00\x00", 4}, {"\x00\x00\xFE\xFF", 4}, {"\x2B\x2F\x76", 3}, {"\xF7\x64\x4C", 3},
    {"\xDD\x73\x66\x73", 4}, {"\x0E\xFE\xFF", 3},     {"\xFB\xEE\x28", 3}, {"\x84\x31\x95\x33", 4}};

bool HeldByAnother(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// The file opened for reading; asked for again while another program holds
// it, until patience runs out.
unique_handle OpenForReading(const std::wstring& path, DWORD patience) {
    constexpr DWORD PauseMilliseconds = 100;
    const DWORD start = GetTickCount();
    for (;;) {
        unique_handle file = OpenFile(path, GENERIC_READ, ShareAll, OPEN_EXISTING);
        const DWORD error = GetLastError();
        if (file || !HeldByAnother(error) || GetTickCount() - start >= patience) {
            SetLastError(error);
            return file;
        }
        Sleep(PauseMilliseconds);
    }
}

struct FileBytes {
    std::optional<std::string> bytes;
    DWORD error = ERROR_SUCCESS;
};

FileBytes ReadWholeFile(const std::wstring& path, DWORD patience) {
    // A folder where the file belongs holds no settings.
    const DWORD attributes = GetFileAttributesW(ExtendedLengthPath(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return {std::nullopt, ERROR_FILE_NOT_FOUND};
    const unique_handle file = OpenForReading(path, patience);
    if (!file)
        return {std::nullopt, GetLastError()};
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size))
        return {std::nullopt, GetLastError()};
    if (size.QuadPart > MAXDWORD)
        return {std::nullopt, ERROR_FILE_TOO_LARGE};
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return {std::nullopt, GetLastError()};
    bytes.resize(read);
    return {std::move(bytes), ERROR_SUCCESS};
}

// Creates the file anew with the bytes, on the disk before it takes another
// file's place: flushed through the handle that wrote them, which no scanner
// or sync client opening the new file can refuse. ERROR_SUCCESS or the
// failure; a write that took fewer bytes than it was given (a disk that
// filled up on the way) is a failure too.
DWORD WriteWholeFileToDisk(const std::wstring& path, std::string_view bytes) {
    const unique_handle file = OpenFile(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
    DWORD written = 0;
    if (!file || !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        return GetLastError();
    if (written != bytes.size())
        return ERROR_DISK_FULL;
    return FlushFileBuffers(file.get()) ? ERROR_SUCCESS : GetLastError();
}

bool IsValidUtf8(std::string_view bytes) {
    return bytes.empty() || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                                static_cast<int>(bytes.size()), nullptr, 0) > 0;
}

bool NamesASectionInUtf8(std::string_view bytes, IniSections knownSections) {
    for (const char* section : knownSections) {
        const std::string header =
            "[" + WideToMultiByte(MultiByteToWide(section, GbkCodePage), CP_UTF8) + "]";
        if (bytes.find(header) != std::string_view::npos)
            return true;
    }
    return false;
}

// Wide text as GBK; a file whose text GBK cannot hold whole is read but
// must not be written back, or what it held would be lost.
IniFileText WideAsGbk(std::wstring_view wide) {
    BOOL lossy = FALSE;
    std::string text;
    if (!wide.empty()) {
        const int size = static_cast<int>(wide.size());
        const int length = WideCharToMultiByte(GbkCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr,
                                               0, nullptr, &lossy);
        text.resize(static_cast<std::size_t>(length));
        WideCharToMultiByte(GbkCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, text.data(), length,
                            nullptr, &lossy);
    }
    return {std::move(text), lossy ? static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION) : ERROR_SUCCESS};
}

bool IsValidUtf16(std::wstring_view wide) {
    for (std::size_t i = 0; i < wide.size(); ++i) {
        if (IS_LOW_SURROGATE(wide[i]))
            return false;
        if (IS_HIGH_SURROGATE(wide[i]) && !(i + 1 < wide.size() && IS_LOW_SURROGATE(wide[++i])))
            return false;
    }
    return true;
}

// Notepad's "Unicode" (little-endian) and "Unicode big endian", after their
// byte order mark.
IniFileText Utf16AsGbk(std::string_view bytes, bool bigEndian) {
    if (bytes.size() % 2 != 0)
        return {std::nullopt, ERROR_NO_UNICODE_TRANSLATION};
    std::wstring wide(bytes.size() / 2, L'\0');
    const int high = bigEndian ? 0 : 1;
    for (std::size_t i = 0; i < wide.size(); ++i)
        wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i + 1 - high]) |
                                       static_cast<unsigned char>(bytes[2 * i + high]) << 8);
    if (!IsValidUtf16(wide))
        return {std::nullopt, ERROR_NO_UNICODE_TRANSLATION};
    return WideAsGbk(wide);
}

IniFileText Utf8AsGbk(std::string_view bytes) {
    if (!IsValidUtf8(bytes))
        return {std::nullopt, ERROR_NO_UNICODE_TRANSLATION};
    return WideAsGbk(MultiByteToWide(bytes, CP_UTF8));
}

// The bytes as GBK text, by the form their start names.
IniFileText AsGbk(std::string bytes, IniSections knownSections) {
    const std::string_view view(bytes);
    for (const std::string_view mark : UnknownByteOrderMarks)
        if (view.starts_with(mark))
            return {std::nullopt, ERROR_UNSUPPORTED_TYPE};
    if (view.starts_with(Utf16LittleEndianMark))
        return Utf16AsGbk(view.substr(Utf16LittleEndianMark.size()), false);
    if (view.starts_with(Utf16BigEndianMark))
        return Utf16AsGbk(view.substr(Utf16BigEndianMark.size()), true);
    // Notepad saves UTF-8 with or without a byte order mark.
    if (view.starts_with(Utf8ByteOrderMark))
        return Utf8AsGbk(view.substr(Utf8ByteOrderMark.size()));
    if (IsValidUtf8(view) && NamesASectionInUtf8(view, knownSections))
        return Utf8AsGbk(view);
    return {std::move(bytes), ERROR_SUCCESS};
}

} // namespace

IniFileText ReadIniFile(const std::wstring& path, IniSections knownSections, DWORD patience) {
    FileBytes file = ReadWholeFile(path, patience);
    if (!file.bytes)
        return {std::nullopt, file.error};
    return AsGbk(std::move(*file.bytes), knownSections);
}

IniFileReader::IniFileReader(const std::wstring& path, IniSections knownSections, DWORD patience)
    : read(ReadIniFile(path, knownSections, patience)), file(read.text.value_or(std::string())) {}

std::string IniFileReader::Text(const std::string& section, const std::string& key,
                                const std::string& defaultText) const {
    std::string text = file.Value(section, key).value_or(defaultText);
    // As through a buffer of that size, never half a character.
    if (text.size() >= IniReadBufferSize) {
        std::size_t cut = 0;
        while (cut < text.size()) {
            const std::size_t width = static_cast<unsigned char>(text[cut]) >= 0x81 ? 2 : 1;
            if (cut + width > IniReadBufferSize - 1)
                break;
            cut += width;
        }
        text.resize(cut);
    }
    return text;
}

std::string ReadIniText(const std::wstring& path, const std::string& section, const std::string& key,
                        const std::string& defaultText) {
    return IniFileReader(path, {}).Text(section, key, defaultText);
}

namespace {

// Whatever sits at path that a new file may not replace; ERROR_SUCCESS when
// nothing does.
DWORD ReplacementRefusal(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(ExtendedLengthPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return ERROR_SUCCESS;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return ERROR_ACCESS_DENIED;
    return attributes & FILE_ATTRIBUTE_READONLY ? ERROR_FILE_READ_ONLY : ERROR_SUCCESS;
}

// The saves of every process to one file take turns: a mutex named after
// the file.
class SaveTurn {
public:
    explicit SaveTurn(const std::wstring& path) {
        // A writer that hangs must not cost this save: the result is still
        // one whole file, only perhaps without the other's keys.
        constexpr DWORD LongestWaitMilliseconds = 10000;
        const DWORD start = GetTickCount();
        const auto waitedSoFar = [&] { return GetTickCount() - start; };
        // A clock run as administrator saving now holds a mutex this process
        // may not open: it exists only during that save, so the turn is
        // asked for again until it can be had.
        for (;;) {
            const HANDLE made = CreateMutexW(nullptr, FALSE, MutexName(path).c_str());
            if (made) {
                mutex.reset(made);
                break;
            }
            if (GetLastError() != ERROR_ACCESS_DENIED || waitedSoFar() >= LongestWaitMilliseconds)
                return;
            Sleep(20);
        }
        const DWORD left = LongestWaitMilliseconds - std::min<DWORD>(waitedSoFar(), LongestWaitMilliseconds);
        const DWORD waited = WaitForSingleObject(mutex.get(), left);
        owned = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    }
    ~SaveTurn() {
        if (owned)
            ReleaseMutex(mutex.get());
    }
    SaveTurn(const SaveTurn&) = delete;
    SaveTurn& operator=(const SaveTurn&) = delete;
    bool Owned() const { return owned; }

private:
    static std::wstring MutexName(const std::wstring& path) {
        return L"TikoClock.SettingsSave." + FileKey(path);
    }

    unique_handle mutex;
    bool owned = false;
};

std::wstring DraftPathFor(const std::wstring& path) {
    return path + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
}

// Drafts of the file that a save ended half-way left behind (a killed
// process, a power cut): with the file's turn held, no other save is writing
// one.
void RemoveStaleDrafts(const std::wstring& path) {
    const std::wstring folder = DirectoryPart(path);
    const std::wstring prefix = FileNamePart(path) + L".";
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(ExtendedLengthPath(path + L".*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring_view name(found.cFileName);
        if (!name.starts_with(prefix) || !name.ends_with(L".tmp"))
            continue;
        const std::wstring_view id = name.substr(prefix.size(), name.size() - prefix.size() - 4);
        if (!id.empty() && id.find_first_not_of(L"0123456789") == std::wstring_view::npos) {
            const std::wstring draft = ExtendedLengthPath(folder + L"\\" + std::wstring(name));
            SetFileAttributesW(draft.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(draft.c_str());
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// A reader that holds the file open without sharing its deletion (a virus
// scanner, an indexer) refuses the replacement for a moment.
DWORD MoveIntoPlace(const std::wstring& from, const std::wstring& to) {
    constexpr int Attempts = 10;
    constexpr DWORD PauseMilliseconds = 20;
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        if (MoveFileExW(ExtendedLengthPath(from).c_str(), ExtendedLengthPath(to).c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return ERROR_SUCCESS;
        error = GetLastError();
        Sleep(PauseMilliseconds);
    }
    return error;
}

// The new file takes the place of the old one with what the user or an
// administrator set on it: its attributes (hidden, say) and the access it
// was given beyond what its folder hands down. Best effort: a draft that
// cannot take them still holds the settings.
void TakeOverFileSettings(const std::wstring& from, const std::wstring& to) {
    const std::wstring oldFile = ExtendedLengthPath(from);
    const std::wstring draft = ExtendedLengthPath(to);
    const DWORD attributes = GetFileAttributesW(oldFile.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    SetFileAttributesW(draft.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    PACL access = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(oldFile.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                              &access, nullptr, &descriptor) != ERROR_SUCCESS)
        return;
    const ScopeExit freeDescriptor([descriptor] { LocalFree(descriptor); });
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    if (access && GetSecurityDescriptorControl(descriptor, &control, &revision)) {
        const SECURITY_INFORMATION inheritance = control & SE_DACL_PROTECTED
                                                     ? PROTECTED_DACL_SECURITY_INFORMATION
                                                     : UNPROTECTED_DACL_SECURITY_INFORMATION;
        SetNamedSecurityInfoW(const_cast<wchar_t*>(draft.c_str()), SE_FILE_OBJECT,
                              DACL_SECURITY_INFORMATION | inheritance, nullptr, nullptr, access, nullptr);
    }
}

struct Draft {
    std::string text;
    bool changed = false; // from the source's text as read
    DWORD error = ERROR_SUCCESS;
};

// The source's text with the entries in it, unless the source cannot be
// read whole.
Draft DraftOf(const std::wstring& source, std::span<const IniEntry> entries, IniSections knownSections) {
    IniFileText seed = ReadIniFile(source, knownSections, SaveReadPatienceMilliseconds);
    if (!seed.Writable())
        return {.text = {}, .changed = false, .error = seed.error};
    const bool existed = seed.text.has_value();
    IniText file(std::move(seed.text).value_or(std::string()));
    const std::string before = file.Text();
    for (const IniEntry& entry : entries)
        if (!entry.onlyWhenMissing || !file.Value(entry.section, entry.key))
            file.SetValue(entry.section, entry.key, entry.value);
    return {.text = file.Text(), .changed = !existed || file.Text() != before};
}

} // namespace

namespace {

struct ReplacedFile {
    std::wstring path;
    // A link whose target the file system does not tell: written through.
    bool unresolvedLink = false;
};

// A symbolic link stays a link: the file it points to is the one replaced
// (through a chain of links, the last).
ReplacedFile FileBehind(const std::wstring& path) {
    constexpr int MostLinks = 32; // as the system follows them
    std::wstring file = path;
    for (int link = 0; link < MostLinks; ++link) {
        const DWORD attributes = GetFileAttributesW(ExtendedLengthPath(file).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            return {file};
        std::optional<std::wstring> target = SymbolicLinkTarget(file);
        if (!target)
            target = FinalPath(file);
        if (!target || *target == file)
            return {file, true};
        file = *target;
    }
    return {file};
}

// The text written into the file the link reaches, in place: not in one
// step, but the link and its target stay what they are.
DWORD WriteThroughLink(const std::wstring& link, std::string_view text) {
    const unique_handle file = OpenFile(link, GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING);
    DWORD written = 0;
    if (!file || !WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        !SetEndOfFile(file.get()) || !FlushFileBuffers(file.get()))
        return GetLastError();
    return written == text.size() ? ERROR_SUCCESS : static_cast<DWORD>(ERROR_DISK_FULL);
}

} // namespace

SaveResult WriteIniFileWhole(const std::wstring& linkOrFile, const std::wstring& sourceNamed,
                             std::span<const IniEntry> entries, IniSections knownSections) {
    const ReplacedFile behind = FileBehind(linkOrFile);
    const std::wstring& path = behind.path;
    const std::wstring source = sourceNamed == linkOrFile ? path : sourceNamed;
    if (const DWORD refusal = ReplacementRefusal(path))
        return {refusal};
    const SaveTurn turn(path);
    const std::wstring draft = DraftPathFor(path);
    if (turn.Owned()) {
        RemoveStaleDrafts(path);
    } else { // only this process's own may go
        SetFileAttributesW(ExtendedLengthPath(draft).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(ExtendedLengthPath(draft).c_str());
    }
    const Draft contents = DraftOf(source, entries, knownSections);
    if (contents.error != ERROR_SUCCESS)
        return {contents.error};
    // Nothing to change: the file is not touched (nor are the programs that
    // watch it woken).
    if (!contents.changed && source == path)
        return {};
    if (behind.unresolvedLink)
        return {WriteThroughLink(path, contents.text)};
    DWORD error = WriteWholeFileToDisk(draft, contents.text);
    if (error == ERROR_SUCCESS) {
        TakeOverFileSettings(path, draft);
        error = MoveIntoPlace(draft, path);
    }
    if (error != ERROR_SUCCESS)
        DeleteFileW(ExtendedLengthPath(draft).c_str());
    return {error};
}

bool FolderAcceptsNewFiles(const std::wstring& folder) {
    // A new file of our own, gone when closed: its creation is the answer.
    constexpr int Attempts = 8;
    const std::wstring stem = folder + L"\\tiko-probe-" + std::to_wstring(GetCurrentProcessId()) + L"-";
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        const std::wstring probe = stem + std::to_wstring(GetTickCount() + attempt) + L".tmp";
        const unique_handle file = OpenFile(probe, GENERIC_WRITE, 0, CREATE_NEW,
                                            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE);
        if (file)
            return true;
        if (GetLastError() != ERROR_FILE_EXISTS)
            return false;
    }
    return false;
}

bool SaveCanReplace(const std::wstring& path, DWORD patience) {
    if (!FolderAcceptsNewFiles(DirectoryPart(path)) || ReplacementRefusal(path) != ERROR_SUCCESS)
        return false;
    // What replacing it takes: the right to write it and to delete it. A
    // program that holds it for a while refuses nothing for good: the file
    // is still the user's, to be read and saved once it lets go.
    constexpr DWORD PauseMilliseconds = 100;
    const DWORD start = GetTickCount();
    for (;;) {
        if (OpenFile(path, GENERIC_WRITE | DELETE, ShareAll, OPEN_EXISTING))
            return true;
        const DWORD error = GetLastError();
        if (!HeldByAnother(error))
            return error == ERROR_FILE_NOT_FOUND;
        if (GetTickCount() - start >= patience)
            return true;
        Sleep(PauseMilliseconds);
    }
}