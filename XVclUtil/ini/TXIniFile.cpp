#include "TXIniFile.h"

#include "IniText.h"
#include "XVclUtil/AtomicFile.h"
#include "XVclUtil/EConvertError.h"
#include "XVclUtil/EXGeneral.h"
#include "XVclUtil/FileUtil.h"
#include "XVclUtil/MessageBox.h"
#include "XVclUtil/PlatformPaths.h"
#include "XVclUtil/Printf.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace XVclUtil {

namespace {
constexpr const char* Caption = "TXIniFile";
constexpr unsigned ReadBackLimit = 16384; // a value is read back only when shorter
constexpr unsigned SaveLimit = 8192;      // and saved only when shorter
constexpr unsigned KeyBytes = TXHashedStringList::MaxStringBytes; // the longest key a list holds

// Copies a stored string to p when it is shorter than limit bytes and returns the end of the
// copy; a longer string copies nothing and returns p. The string is one the document holds, so
// only its cells are walked, without the owner check (a block-header read) of TXStrTab::Length.
// Each cell is copied whole (a fixed-size copy, no call), so up to CellSlack bytes past the end
// of the copy are overwritten: p needs limit + CellSlack bytes of room.
constexpr std::size_t CellSlack = sizeof(_XSTRTABCELL::Chars);
char* CopyCells(const TXStrTab& tab, const _XSTRTABCELL* cell, char* p, std::size_t limit) {
    std::size_t n = 0;
    for (const _XSTRTABCELL* c = cell; c; c = tab.NextCell(c)) {
        const std::size_t size = c->Size & 0x7F;
        if (n + size >= limit) return p;
        std::memcpy(p + n, c->Chars, CellSlack);
        n += size;
    }
    return p + n;
}
} // namespace

TXIniFile::TXIniFile(const std::string& fileName) {
    Construct(fileName, nullptr);
}

TXIniFile::TXIniFile(const std::string& fileName, TXStrTab* strTab) {
    Construct(fileName, strTab);
}

void TXIniFile::Construct(const std::string& fileName, TXStrTab* strTab) {
    bool ok = false;
    try {
        StrTab = strTab;
        if (StrTab == nullptr) {
            StrTab = new TXStrTab;
            OwnsStrTab = true;
        }
        SectionEvents.OnDelete = [this](void* sender, int index) {
            HashedStringListNotifyHandlerForDeleteSection(sender, index);
        };
        KeyEvents.OnReplace = [this](void* sender, int index) {
            HashedStringListNotifyHandlerForReplaceKey(sender, index);
        };
        KeyEvents.OnDelete = [this](void* sender, int index) {
            HashedStringListNotifyHandlerForDeleteKey(sender, index);
        };
        Sections = new TXHashedStringList(StrTab);
        Sections->Events = &SectionEvents;
        FileName = fileName.empty() ? "UnknownIniFile.ini" : fileName;
        // A file that cannot be created (a read-only folder) starts as an empty document; the
        // failure is reported by the save that needs the file, if any.
        if (PathExists(FileName)) {
            ok = LoadExistedIniFile();
        } else {
            CreateEmptyFile();
            ok = true;
        }
    } catch (...) {
        // The string table ran out of memory while the file was read; its box was shown.
    }
    Modified = false;
    if (!ok) {
        CleanUp();
        throw EXGeneral("Err: Constructor !!!");
    }
}

bool TXIniFile::CreateEmptyFile() {
#ifdef _WIN32
    const std::size_t slash = FileName.find_last_of("/\\");
#else
    const std::size_t slash = FileName.find_last_of('/');
#endif
    if (slash != std::string::npos && slash > 0) {
        const std::string dir = FileName.substr(0, slash + 1);
        std::error_code ec;
        if (!PathExists(dir) && !std::filesystem::create_directory(FsPath(dir), ec)) return false;
    }
    // O_EXCL|O_NOFOLLOW: never through a link or over a file that appeared meanwhile. Windows
    // has neither flag; O_EXCL alone refuses any existing name, link or not, there.
#ifdef _WIN32
    const int fd = ::open(FileName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_BINARY, 0666);
#else
    const int fd =
        ::open(FileName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
#endif
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

TXIniFile::~TXIniFile() {
    SaveIniFile();
    CleanUp();
}

void TXIniFile::CleanUp() {
    if (Sections) {
        Sections->DeleteAll();
        delete Sections;
        Sections = nullptr;
    }
    if (OwnsStrTab) delete StrTab;
    StrTab = nullptr;
    OwnsStrTab = false;
}

void TXIniFile::pw_FileName(const std::string& name) {
    FileName = name;
    Modified = true;
}

bool TXIniFile::UpdateFile() {
    return SaveIniFile();
}

// ---- lists and callbacks -------------------------------------------------------------------

TXHashedStringList* TXIniFile::KeyList(int sectionIndex) {
    return static_cast<TXHashedStringList*>(Sections->pr_Objects(sectionIndex));
}

TXHashedStringList* TXIniFile::NewKeyList() {
    auto* keys = new TXHashedStringList(StrTab);
    keys->Events = &KeyEvents; // one record for all key lists: a section costs no callbacks
    return keys;
}

void TXIniFile::HashedStringListNotifyHandlerForDeleteSection(void* Sender, int Index) {
    auto* sections = static_cast<TXHashedStringList*>(Sender);
    auto* keys = static_cast<TXHashedStringList*>(sections->pr_Objects(Index));
    if (keys == nullptr) return;
    keys->DeleteAll();
    delete keys;
    sections->pw_Objects(Index, nullptr);
}

void TXIniFile::HashedStringListNotifyHandlerForReplaceKey(void* Sender, int Index) {
    auto* keys = static_cast<TXHashedStringList*>(Sender);
    auto* value = static_cast<_XSTRTABCELL*>(keys->pr_Objects(Index));
    if (value) StrTab->Delete(value);
}

void TXIniFile::HashedStringListNotifyHandlerForDeleteKey(void* Sender, int Index) {
    HashedStringListNotifyHandlerForReplaceKey(Sender, Index);
}

// ---- lookups -------------------------------------------------------------------------------

bool TXIniFile::IsSectionExisted(const std::string& section, int* index) {
    return FindSection(section.c_str(), section.size(), index);
}

// name is NUL-terminated; len is its length. The last section found is remembered, so runs of
// access to one section skip the hash lookup.
bool TXIniFile::FindSection(const char* name, std::size_t len, int* index) {
    if (len == 0) return false;
    if (len != LastSection.size() || std::memcmp(name, LastSection.data(), len) != 0) {
        _XHASHEDSTRINGLISTCELL* found = Sections->FindItem(name);
        if (found == nullptr) return false;
        if (LastSection.size() == len) // a run of equal-length names: no reallocation check
            std::memcpy(LastSection.data(), name, len);
        else
            LastSection.assign(name, len);
        LastSectionIndex = found->Index;
        LastKeyList = static_cast<TXHashedStringList*>(found->Object);
        LastKeyIndex = -1;
        KeysInOrder = false;
    }
    if (index) *index = LastSectionIndex;
    return true;
}

// The key list of a section, null when the section is absent. The list found last is kept with
// the section's name: a key list stays with its section until the section is erased.
TXHashedStringList* TXIniFile::SectionKeys(const char* name, std::size_t len) {
    return FindSection(name, len, nullptr) ? LastKeyList : nullptr;
}

bool TXIniFile::IsKeyExisted(const std::string& section, const std::string& key) {
    TXHashedStringList* keys = SectionKeys(section.c_str(), section.size());
    return keys && keys->FindItem(key.c_str()) != nullptr;
}

// A key of the last section's list. While keys are read in the list's order (two neighbours found
// in a row), the key after the last one found is tried first: it sits beside it in memory, where
// a bucket walk would take a cache miss per record. A scattered read never tries it.
_XHASHEDSTRINGLISTCELL* TXIniFile::FindKey(TXHashedStringList* keys, std::uint64_t hash,
                                           const char* key, unsigned int len) {
    _XHASHEDSTRINGLISTCELL* item =
        keys->FindItemByKey(hash, key, len, KeysInOrder ? LastKeyIndex : -1);
    KeysInOrder = item != nullptr && item->Index == LastKeyIndex + 1;
    LastKeyIndex = item ? item->Index : -1;
    return item;
}

_XSTRTABCELL* TXIniFile::ValueCell(const std::string& section, const std::string& key) {
    // The key is hashed first: its hash does not depend on the section lookup, so the two
    // hashes and the section's memory accesses can overlap.
    unsigned int len;
    const std::uint64_t hash = TXHashedStringList::StrToHashKey(key.c_str(), &len);
    TXHashedStringList* keys = SectionKeys(section.c_str(), section.size());
    _XHASHEDSTRINGLISTCELL* item = keys ? FindKey(keys, hash, key.c_str(), len) : nullptr;
    return item ? static_cast<_XSTRTABCELL*>(item->Object) : nullptr;
}

bool TXIniFile::IsValueExisted(const std::string& section, const std::string& key) {
    return ValueCell(section, key) != nullptr;
}

bool TXIniFile::IsValueExisted(const std::string& section, const std::string& key,
                               std::string& value) {
    _XSTRTABCELL* cell = ValueCell(section, key);
    return cell != nullptr && StrTab->ReadHeldInto(cell, value, ReadBackLimit);
}

bool TXIniFile::SectionExists(const std::string& section) {
    return IsSectionExisted(section, nullptr);
}

bool TXIniFile::KeyExists(const std::string& section, const std::string& key) {
    return IsKeyExisted(section, key);
}

bool TXIniFile::ValueExists(const std::string& section, const std::string& key) {
    return IsValueExisted(section, key);
}

std::vector<std::string> TXIniFile::SectionNames() {
    std::vector<std::string> names;
    for (int i = 0; i < Sections->Count; ++i) names.push_back(Sections->pr_Strings(i));
    return names;
}

std::vector<std::string> TXIniFile::KeyNames(const std::string& section) {
    std::vector<std::string> names;
    int s;
    if (!IsSectionExisted(section, &s)) return names;
    if (TXHashedStringList* keys = KeyList(s))
        for (int i = 0; i < keys->Count; ++i) names.push_back(keys->pr_Strings(i));
    return names;
}

// ---- changes -------------------------------------------------------------------------------

void TXIniFile::WriteString(const std::string& section, const std::string& key,
                            const std::string& value) {
    Store(section.c_str(), section.size(), key.c_str(), value.data(), value.size());
}

// section and key are NUL-terminated; value is len bytes.
void TXIniFile::Store(const char* section, std::size_t sectionLen, const char* key,
                      const char* value, std::size_t valueLen) {
    if (sectionLen == 0 || *key == '\0') return;
    TXHashedStringList* keys = nullptr;
    if (FindSection(section, sectionLen, nullptr)) {
        keys = LastKeyList;
    } else {
        keys = NewKeyList();
        if (Sections->Add(section, keys) < 0) {
            delete keys;
            return;
        }
        Modified = true;
    }
    if (keys == nullptr) return;
    _XSTRTABCELL* stored =
        valueLen ? StrTab->Add(value, static_cast<unsigned int>(valueLen)) : nullptr;
    if (keys->Add(key, stored) < 0) {
        if (stored) StrTab->Delete(stored);
        return;
    }
    Modified = true;
}

void TXIniFile::Printf(const std::string& section, const std::string& key, const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::string text = FormatV(fmt, args);
    va_end(args);
    WriteString(section, key, text);
}

void TXIniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
    WriteString(section, key, Format("%d", value));
}

void TXIniFile::WriteUnsigned(const std::string& section, const std::string& key,
                              unsigned int value) {
    WriteString(section, key, Format("%d", static_cast<int>(value)));
}

void TXIniFile::WriteHexNum(const std::string& section, const std::string& key,
                            unsigned int value) {
    WriteString(section, key, Format("0x%X", value));
}

void TXIniFile::WriteFloat(const std::string& section, const std::string& key, double value) {
    WriteString(section, key, FloatToIniText(value));
}

void TXIniFile::WriteTime(const std::string& section, const std::string& key,
                          const TDateTime& value) {
    WriteString(section, key, DateTimeToIniText(value, TimeFormat));
}

void TXIniFile::WriteDate(const std::string& section, const std::string& key,
                          const TDateTime& value) {
    WriteString(section, key, DateTimeToIniText(value, DateFormat));
}

void TXIniFile::WriteDateTime(const std::string& section, const std::string& key,
                              const TDateTime& value) {
    WriteString(section, key, DateTimeToIniText(value, DateTimeFormat));
}

void TXIniFile::WriteCurrentTime(const std::string& section, const std::string& key) {
    WriteTime(section, key, CurrentDateTime());
}

void TXIniFile::WriteCurrentDate(const std::string& section, const std::string& key) {
    WriteDate(section, key, CurrentDateTime());
}

void TXIniFile::WriteCurrentDateTime(const std::string& section, const std::string& key) {
    WriteDateTime(section, key, CurrentDateTime());
}

void TXIniFile::WriteBool(const std::string& section, const std::string& key, bool value,
                          int style) {
    static const char* const texts[4][2] = {
        {"0", "1"}, {"False", "True"}, {"Low", "High"}, {"Not", "Yes"}};
    const int row = (style >= 0 && style <= 3) ? style : 0;
    WriteString(section, key, texts[row][value ? 1 : 0]);
}

void TXIniFile::EraseSection(const std::string& section) {
    int s;
    if (!IsSectionExisted(section, &s)) return;
    if (TXHashedStringList* keys = KeyList(s)) {
        keys->DeleteAll();
        delete keys;
        Sections->pw_Objects(s, nullptr);
    }
    Sections->Delete(s);
    LastSection.clear();
    Modified = true;
}

void TXIniFile::DeleteKey(const std::string& section, const std::string& key) {
    int s;
    if (!IsSectionExisted(section, &s)) return;
    TXHashedStringList* keys = KeyList(s);
    if (keys == nullptr) return;
    const int k = keys->IndexOf(key.c_str());
    if (k < 0) return;
    keys->Delete(k);
    Modified = true;
}

void TXIniFile::DeleteValue(const std::string& section, const std::string& key) {
    int s;
    if (!IsSectionExisted(section, &s)) return;
    TXHashedStringList* keys = KeyList(s);
    if (keys == nullptr) return;
    const int k = keys->IndexOf(key.c_str());
    if (k < 0) return;
    if (auto* value = static_cast<_XSTRTABCELL*>(keys->pr_Objects(k))) StrTab->Delete(value);
    keys->pw_Objects(k, nullptr);
    Modified = true;
}

// ---- typed reads ---------------------------------------------------------------------------

std::string TXIniFile::ReadString(const std::string& section, const std::string& key,
                                  const std::string& def) {
    std::string value;
    if (!IsValueExisted(section, key, value)) return def;
    return value;
}

int TXIniFile::ReadInteger(const std::string& section, const std::string& key, int def) {
    std::string value;
    return IsValueExisted(section, key, value) ? StrToInt(value) : def;
}

unsigned int TXIniFile::ReadUnsigned(const std::string& section, const std::string& key,
                                     unsigned int def) {
    std::string value;
    if (!IsValueExisted(section, key, value)) return def;
    return IniTextToUnsigned(value, def);
}

unsigned int TXIniFile::ReadHexNum(const std::string& section, const std::string& key,
                                   unsigned int def) {
    return ReadUnsigned(section, key, def);
}

double TXIniFile::ReadFloat(const std::string& section, const std::string& key, double def) {
    std::string value;
    if (!IsValueExisted(section, key, value)) return def;
    return IniTextToFloat(value, def);
}

TDateTime TXIniFile::ReadDateTimeAs(const std::string& section, const std::string& key,
                                    const TDateTime& def, const char* format) {
    std::string value;
    return IsValueExisted(section, key, value) ? IniTextToDateTime(value, format) : def;
}

TDateTime TXIniFile::ReadTime(const std::string& section, const std::string& key,
                              const TDateTime& def) {
    return ReadDateTimeAs(section, key, def, TimeFormat);
}

TDateTime TXIniFile::ReadDate(const std::string& section, const std::string& key,
                              const TDateTime& def) {
    return ReadDateTimeAs(section, key, def, DateFormat);
}

TDateTime TXIniFile::ReadDateTime(const std::string& section, const std::string& key,
                                  const TDateTime& def) {
    return ReadDateTimeAs(section, key, def, DateTimeFormat);
}

bool TXIniFile::ReadBool(const std::string& section, const std::string& key, bool def) {
    std::string value;
    if (!IsValueExisted(section, key, value) || value.empty()) return def;
    if (std::strchr("0FLNfln", value[0])) return false;
    if (std::strchr("1HTYhty", value[0])) return true;
    return def;
}

int TXIniFile::StrCmp(const std::string& section, const std::string& key, const std::string& s) {
    return LocaleCompare(ReadString(section, key, ""), s, false);
}

int TXIniFile::StrICmp(const std::string& section, const std::string& key, const std::string& s) {
    return LocaleCompare(ReadString(section, key, ""), s, true);
}

// ---- file ----------------------------------------------------------------------------------

bool TXIniFile::LoadExistedIniFile() {
    // Read only: a file or folder the user cannot write is still read; a save reports it.
    FILE* f = std::fopen(FileName.c_str(), "re");
    if (f == nullptr) {
        ShowErrMsgBox_Printf(Caption, "Err: Can not open file \n \"%s\" ", FileName.c_str());
        return false;
    }
    // Read in pieces, so a large file is never held whole beside its document.
    TIniTextScanner scanner(
        [this](const char* section, std::size_t sectionLen, const char* key, const char* value,
               std::size_t valueLen) { Store(section, sectionLen, key, value, valueLen); });
    std::vector<char> buffer(1 << 16);
    std::size_t kept = 0;
    bool atEnd = false;
    while (!atEnd) {
        const std::size_t got = std::fread(buffer.data() + kept, 1, buffer.size() - kept, f);
        atEnd = got < buffer.size() - kept;
        const std::size_t have = kept + got;
        const std::size_t used = scanner.Scan(buffer.data(), have, atEnd);
        kept = have - used;
        std::memmove(buffer.data(), buffer.data() + used, kept);
    }
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) {
        ShowErrMsgBox_Printf(Caption, "Err: Can not open file \n \"%s\" ", FileName.c_str());
        return false;
    }
    Modified = true;
    return true;
}

// The lines are put together in a stack buffer and handed to the writer some kilobytes at a
// time: a call per line cost as much as putting the line together.
void TXIniFile::WriteDocument(TAtomicFileWriter& out) {
    constexpr std::size_t LongestLine = KeyBytes + 1 + SaveLimit + 2; // "key=value\r\n"
    char buf[2 * LongestLine + CellSlack];
    char* end = buf;
    const auto makeRoom = [&] {
        if (end + LongestLine + CellSlack <= buf + sizeof buf) return;
        out.Write(buf, static_cast<std::size_t>(end - buf));
        end = buf;
    };
    for (int s = 0; s < Sections->Count; ++s) {
        TXHashedStringList* keys = KeyList(s);
        if (keys == nullptr) continue;
        makeRoom();
        *end++ = '['; // names hold at most KeyBytes bytes, as the lists refuse longer ones
        end = CopyCells(*StrTab, Sections->StrCell(s), end, KeyBytes + 1);
        end = std::copy_n("]\r\n", 3, end);
        for (int k = 0; k < keys->Count; ++k) {
            const _XHASHEDSTRINGLISTCELL* item = keys->Item(k);
            makeRoom();
            end = CopyCells(*StrTab, StrTab->Resolve(item->Str), end, KeyBytes + 1);
            *end++ = '=';
            if (auto* value = static_cast<const _XSTRTABCELL*>(item->Object))
                end = CopyCells(*StrTab, value, end, SaveLimit);
            end = std::copy_n("\r\n", 2, end);
        }
        makeRoom();
        end = std::copy_n("\r\n", 2, end);
    }
    out.Write(buf, static_cast<std::size_t>(end - buf));
}

bool TXIniFile::SaveIniFile() {
    if (!Modified) return true;
    std::string reason;
    // A read-only file stays as it is, as a direct rewrite would have been refused.
    if (PathExists(FileName) && ::access(FileName.c_str(), W_OK) != 0) {
        reason = std::strerror(errno);
    } else {
        TAtomicFileWriter out(FileName);
        WriteDocument(out);
        if (!out.Commit()) reason = out.ErrorText();
    }
    if (!reason.empty()) {
        ShowErrMsgBox_Printf(Caption, "Err: Can not save file \n \"%s\" \n(%s)", FileName.c_str(),
                             reason.c_str());
        return false;
    }
    Modified = false;
    return true;
}

} // namespace XVclUtil
