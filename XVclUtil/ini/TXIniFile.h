#pragma once
// The system's INI file: the whole document in memory, written back only when changed, by
// UpdateFile and by the destructor. Sections and keys keep their first-added order.

#include "TXHashedStringList.h"
#include "TXStrTab.h"
#include "XVclUtil/AtomicFile.h"
#include "XVclUtil/PrintfFormat.h"

#include <ctime>
#include <string>
#include <vector>

namespace XVclUtil {

using TDateTime = std::tm; // broken-down local date and time

class TXIniFile {
public:
    explicit TXIniFile(const std::string& fileName);
    TXIniFile(const std::string& fileName, TXStrTab* strTab);
    ~TXIniFile();
    TXIniFile(const TXIniFile&) = delete;
    TXIniFile& operator=(const TXIniFile&) = delete;

    void pw_FileName(const std::string& name);
    const std::string& pr_FileName() const { return FileName; }
    bool UpdateFile();

    bool SectionExists(const std::string& section);
    bool KeyExists(const std::string& section, const std::string& key);
    bool ValueExists(const std::string& section, const std::string& key);
    void EraseSection(const std::string& section);
    void DeleteKey(const std::string& section, const std::string& key);
    void DeleteValue(const std::string& section, const std::string& key);

    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void Printf(const std::string& section, const std::string& key, const char* fmt, ...)
        ZKF_PRINTF_FORMAT(4, 5);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void WriteUnsigned(const std::string& section, const std::string& key, unsigned int value);
    void WriteHexNum(const std::string& section, const std::string& key, unsigned int value);
    void WriteFloat(const std::string& section, const std::string& key, double value);
    void WriteTime(const std::string& section, const std::string& key, const TDateTime& value);
    void WriteDate(const std::string& section, const std::string& key, const TDateTime& value);
    void WriteDateTime(const std::string& section, const std::string& key, const TDateTime& value);
    void WriteCurrentTime(const std::string& section, const std::string& key);
    void WriteCurrentDate(const std::string& section, const std::string& key);
    void WriteCurrentDateTime(const std::string& section, const std::string& key);
    void WriteBool(const std::string& section, const std::string& key, bool value, int style);

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& def);
    int ReadInteger(const std::string& section, const std::string& key, int def);
    unsigned int ReadUnsigned(const std::string& section, const std::string& key, unsigned int def);
    unsigned int ReadHexNum(const std::string& section, const std::string& key, unsigned int def);
    double ReadFloat(const std::string& section, const std::string& key, double def);
    TDateTime ReadTime(const std::string& section, const std::string& key, const TDateTime& def);
    TDateTime ReadDate(const std::string& section, const std::string& key, const TDateTime& def);
    TDateTime ReadDateTime(const std::string& section, const std::string& key,
                           const TDateTime& def);
    bool ReadBool(const std::string& section, const std::string& key, bool def);

    int StrCmp(const std::string& section, const std::string& key, const std::string& s);
    int StrICmp(const std::string& section, const std::string& key, const std::string& s);

    // Section names in document order, and one section's key names (helpers for owners that
    // walk the document, such as the topology loader).
    std::vector<std::string> SectionNames();
    std::vector<std::string> KeyNames(const std::string& section);

    bool Modified = false;

protected:
    bool IsSectionExisted(const std::string& section, int* index);
    bool IsKeyExisted(const std::string& section, const std::string& key);
    bool IsValueExisted(const std::string& section, const std::string& key);
    bool IsValueExisted(const std::string& section, const std::string& key, std::string& value);
    bool LoadExistedIniFile();
    bool SaveIniFile();

private:
    void Construct(const std::string& fileName, TXStrTab* strTab);
    bool CreateEmptyFile();
    bool FindSection(const char* name, std::size_t len, int* index);
    TXHashedStringList* SectionKeys(const char* name, std::size_t len);
    TDateTime ReadDateTimeAs(const std::string& section, const std::string& key,
                             const TDateTime& def, const char* format);
    void CleanUp();
    void Store(const char* section, std::size_t sectionLen, const char* key, const char* value,
               std::size_t valueLen);
    _XSTRTABCELL* ValueCell(const std::string& section, const std::string& key);
    _XHASHEDSTRINGLISTCELL* FindKey(TXHashedStringList* keys, std::uint64_t hash, const char* key,
                                    unsigned int len);
    void WriteDocument(TAtomicFileWriter& out);
    TXHashedStringList* KeyList(int sectionIndex);
    TXHashedStringList* NewKeyList();
    void HashedStringListNotifyHandlerForDeleteSection(void* Sender, int Index);
    void HashedStringListNotifyHandlerForReplaceKey(void* Sender, int Index);
    void HashedStringListNotifyHandlerForDeleteKey(void* Sender, int Index);

    bool OwnsStrTab = false;
    TXStrTab* StrTab = nullptr;
    TXHashedStringListEvents SectionEvents; // of Sections
    TXHashedStringListEvents KeyEvents;     // shared by every section's key list
    TXHashedStringList* Sections = nullptr;
    std::string FileName;
    std::string LastSection;
    int LastSectionIndex = 0;
    TXHashedStringList* LastKeyList = nullptr; // key list of LastSection
    int LastKeyIndex = -1;    // index of the key of LastKeyList found last, -1 for none
    bool KeysInOrder = false; // the last two keys found there were neighbours
};

} // namespace XVclUtil
