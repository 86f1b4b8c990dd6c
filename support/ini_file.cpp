#include "support/ini_file.h"

#include <utility>

#include "support/debug_log.h"

bool IniSection::GetValue(const CStdStr& key, CStdStr& value) const {
    const auto found = values.find(key);
    if (found == values.end()) return false;
    value = found->second;
    return true;
}

void IniSection::SetValue(const CStdStr& key, const CStdStr& value) {
    const auto [entry, inserted] = values.try_emplace(key, value);
    if (inserted) {
        keys.push_back(key);
    } else {
        entry->second = value;
    }
}

IniSection* IniFile::FindSection(const CStdStr& name) const {
    for (const auto& section : sections) {
        if (section->GetName().EqualsNoCase(name)) return section.get();
    }
    return nullptr;
}

IniSection* IniFile::adoptSection(std::unique_ptr<IniSection> section) {
    sections.push_back(std::move(section));
    return sections.back().get();
}

IniSection* IniFile::AddSection(const CStdStr& name) {
    if (IniSection* existing = FindSection(name)) return existing;
    return adoptSection(std::make_unique<IniSection>(name));
}

void IniFile::SetValue(const CStdStr& section, const CStdStr& key, const CStdStr& value) {
    if (section.empty()) {
        LogLine("IniFile::SetValue: section name cannot be empty");
        return;
    }
    if (key.empty()) {
        LogLine("IniFile::SetValue: value name cannot be empty");
        return;
    }
    AddSection(section)->SetValue(key, value);
}

bool IniFile::writeSection(TextFile& file, const IniSection& section) {
    bool written = file.WriteString("[" + section.GetName() + "]\n");
    CStdStr value;
    for (const CStdStr& key : section.GetKeys()) {
        if (section.GetValue(key, value)) written &= file.WriteString(key + "=" + value + "\n");
    }
    return file.WriteString("\n") && written;
}

bool IniFile::Write(const CStdStr& path) {
    const CStdStr target = path.empty() ? fileName : path;
    if (target.empty()) {
        LogLine("IniFile::Write: empty file name!");
        return false;
    }
    TextFile file;
    if (!file.Open(target, TextFile::WriteMode, encoding)) {
        LogLine("IniFile::Write: Failed to open " + target + " for writing.");
        return false;
    }
    bool written = true;
    for (const auto& section : sections) written &= writeSection(file, *section);
    file.Close();
    // A short write (a full disk) would otherwise leave a truncated script reported as done.
    if (!written) LogLine("IniFile::Write: failed to write " + target);
    return written;
}
