#include "TXIniFile.h"

#include "AtomicFile.h"
#include "EConvertError.h"
#include "EXGeneral.h"
#include "FileUtil.h"
#include "IniText.h"
#include "MessageBox.h"
#include "Printf.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace XVclUtil {

namespace {
constexpr const char* Caption = "TXIniFile";
constexpr unsigned ReadBackLimit = 16384; // a value is read back only when shorter
constexpr unsigned SaveLimit = 8192;      // and saved only when shorter
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
        Sections = new TXHashedStringList(StrTab);
        Sections->OnDelete = [this](void* sender, int index) {
            HashedStringListNotifyHandlerForDeleteSection(sender, index);
        };
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
    const std::size_t slash = FileName.find_last_of('/');
    if (slash != std::string::npos && slash > 0) {
        const std::string dir = FileName.substr(0, slash + 1);
        if (!PathExists(dir) && ::mkdir(dir.c_str(), 0777) != 0) return false;
    }
    // O_EXCL|O_NOFOLLOW: never through a link or over a file that appeared meanwhile.
    const int fd =
        ::open(FileName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
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
    keys->OnReplace = [this](void* sender, int index) {
        HashedStringListNotifyHandlerForReplaceKey(sender, index);
    };
    keys->OnDelete = [this](void* sender, int index) {
        HashedStringListNotifyHandlerForDeleteKey(sender, index);
    };
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
        const int found = Sections->IndexOf(name);
        if (found < 0) return false;
        LastSection.assign(name, len);
        LastSectionIndex = found;
    }
    if (index) *index = LastSectionIndex;
    return true;
}

bool TXIniFile::IsKeyExisted(const std::string& section, const std::string& key) {
    int s;
    if (!IsSectionExisted(section, &s)) return false;
    TXHashedStringList* keys = KeyList(s);
    return keys && keys->IndexOf(key.c_str()) >= 0;
}

_XSTRTABCELL* TXIniFile::ValueCell(const std::string& section, const std::string& key) {
    int s;
    if (!IsSectionExisted(section, &s)) return nullptr;
    TXHashedStringList* keys = KeyList(s);
    if (keys == nullptr) return nullptr;
    const int k = keys->IndexOf(key.c_str());
    return k < 0 ? nullptr : static_cast<_XSTRTABCELL*>(keys->pr_Objects(k));
}

bool TXIniFile::IsValueExisted(const std::string& section, const std::string& key) {
    return ValueCell(section, key) != nullptr;
}

bool TXIniFile::IsValueExisted(const std::string& section, const std::string& key,
                               std::string& value) {
    _XSTRTABCELL* cell = ValueCell(section, key);
    if (cell == nullptr) return false;
    const unsigned int len = StrTab->Length(cell);
    if (len >= ReadBackLimit) return false;
    value.resize(len + 1);
    StrTab->Get(cell, value.data());
    value.resize(len);
    return true;
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
    int s;
    if (!FindSection(section, sectionLen, &s)) {
        TXHashedStringList* keys = NewKeyList();
        s = Sections->Add(section, keys);
        if (s < 0) {
            delete keys;
            return;
        }
        Modified = true;
    }
    TXHashedStringList* keys = KeyList(s);
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
    return IsValueExisted(section, key, value) ? value : def;
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
    std::vector<char> buffer(1 << 18);
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

void TXIniFile::WriteDocument(TAtomicFileWriter& out) {
    for (int s = 0; s < Sections->Count; ++s) {
        TXHashedStringList* keys = KeyList(s);
        if (keys == nullptr) continue;
        out.Write("[", 1);
        WriteCell(out, Sections->StrCell(s));
        out.Write("]\r\n", 3);
        for (int k = 0; k < keys->Count; ++k) {
            WriteCell(out, keys->StrCell(k));
            out.Write("=", 1);
            auto* value = static_cast<_XSTRTABCELL*>(keys->pr_Objects(k));
            if (value && StrTab->Length(value) < SaveLimit) WriteCell(out, value);
            out.Write("\r\n", 2);
        }
        out.Write("\r\n", 2);
    }
}

void TXIniFile::WriteCell(TAtomicFileWriter& out, const _XSTRTABCELL* cell) {
    for (const _XSTRTABCELL* c = cell; c; c = StrTab->NextCell(c))
        out.Write(c->Chars, c->Size & 0x7F);
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
