#pragma once

#include <map>
#include <memory>
#include <vector>

#include "support/cstd_str.h"
#include "support/text_file.h"

// Orders keys the way INI files compare them: ASCII letters folded.
struct NoCaseLess {
    bool operator()(const CStdStr& a, const CStdStr& b) const { return a.CompareNoCase(b) < 0; }
};

// A section of an INI file built in memory: every key once, kept in the order in which it was
// first set, each with its value.
class IniSection {
  public:
    explicit IniSection(const CStdStr& name) : name(name) {}
    virtual ~IniSection() = default;

    // False when the key is absent.
    virtual bool GetValue(const CStdStr& key, CStdStr& value) const;
    // A key already present in any case keeps its place and spelling; only its value changes.
    void SetValue(const CStdStr& key, const CStdStr& value);

    const CStdStr& GetName() const { return name; }
    const std::vector<CStdStr>& GetKeys() const { return keys; }

  private:
    CStdStr name;
    std::vector<CStdStr> keys;
    std::map<CStdStr, CStdStr, NoCaseLess> values;
};

// An INI file built in memory and written out as a whole. It owns its sections.
class IniFile {
  public:
    IniFile() = default;
    virtual ~IniFile() = default;
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    // An empty path writes to the file name set on the object.
    bool Write(const CStdStr& path = CStdStr());
    // The first section of that name, created and appended when missing.
    virtual IniSection* AddSection(const CStdStr& name);
    IniSection* FindSection(const CStdStr& name) const;
    void SetValue(const CStdStr& section, const CStdStr& key, const CStdStr& value);

    void SetFileName(const CStdStr& path) { fileName = path; }
    const CStdStr& GetFileName() const { return fileName; }
    void SetEncoding(int32_t code) { encoding = code; }
    int32_t GetEncoding() const { return encoding; }
    const std::vector<std::unique_ptr<IniSection>>& GetSections() const { return sections; }

  protected:
    // For an AddSection of a derived file that makes its own kind of section.
    IniSection* adoptSection(std::unique_ptr<IniSection> section);

  private:
    static bool writeSection(TextFile& file, const IniSection& section);

    CStdStr fileName;
    std::vector<std::unique_ptr<IniSection>> sections;
    int32_t encoding = TextFile::AnsiText;
};
