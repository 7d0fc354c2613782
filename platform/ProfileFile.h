#pragma once
// A private profile (INI) file held in memory: load once, get and set, save once.
//
// Reads follow the Windows profile functions the system was written against: section and
// key names compare without regard to case, names and values are trimmed of blanks, a value
// in a matching pair of quotes loses them, the first matching section and key win, and
// integers are read as GetPrivateProfileInt reads them (see ParseProfileInt).
//
// Writes keep every line of the file they do not change, byte for byte: comments, blank
// lines, the order of sections and keys, lines that are not INI at all, CRLF line ends and a
// byte-order mark. Saving replaces the file atomically (temporary file in the same folder,
// fsync, rename), so a crash leaves either the old or the new file, never a torn one.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class ProfileFile
{
public:
    // Files larger than this are not loaded (they read as empty and are never overwritten).
    static constexpr std::size_t kMaxFileSize = 16u * 1024u * 1024u;

    ProfileFile() = default;
    // Same as Load(path).
    explicit ProfileFile(std::string path);

    // Reads the file. A missing file gives an empty profile and true. A file that exists
    // but cannot be read (a directory, no permission, too large) gives an empty profile and
    // false; Save() then refuses, so that nothing the user had is replaced.
    bool Load(std::string path);
    // Writes the profile back to the path it was loaded from. False when the file could not
    // be read at load time, or on any write error (the old file then stays as it was).
    bool Save() const;
    // Writes the profile to another path (atomically, as Save).
    bool SaveAs(const std::string& path) const;

    const std::string& Path() const { return m_strPath; }
    bool LoadFailed() const { return m_bLoadFailed; }
    // True after a Set or Delete that changed the text.
    bool IsModified() const { return m_bModified; }

    // The trimmed value of key in section, or nothing when either is missing.
    std::optional<std::string> GetString(std::string_view section, std::string_view key) const;
    std::string GetString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
    // The value read as an integer; defaultValue when the key is missing or its value empty.
    int GetInt(std::string_view section, std::string_view key, int defaultValue) const;

    bool HasSection(std::string_view section) const;
    // Section names in file order (first spelling of each), and the key names of one section.
    std::vector<std::string> Sections() const;
    std::vector<std::string> Keys(std::string_view section) const;

    // Sets key=value, adding the key at the end of its section and the section at the end of
    // the file when needed. Line breaks in the value become blanks. False (nothing changed)
    // for a name that cannot stand in an INI line: empty, with a line break, a key with '='
    // or starting with '[' or ';', a section with ']'.
    bool SetString(std::string_view section, std::string_view key, std::string_view value);
    // Sets the value as signed decimal text ("%d").
    bool SetInt(std::string_view section, std::string_view key, int value);
    // Removes every line of key in section; true when something was removed.
    bool DeleteKey(std::string_view section, std::string_view key);
    // Removes every section of that name with its lines; true when something was removed.
    bool DeleteSection(std::string_view section);

    // The file's text as Save would write it.
    std::string Text() const;

private:
    struct Line
    {
        std::string text;       // as in the file, without its line end
        int sectionIndex = -1;  // index into m_sections of the section it belongs to, -1 before any
    };

    void Parse(std::string_view content);
    void Reindex();
    // Index of the line of the first section named name, or -1.
    int FindSectionLine(std::string_view section) const;
    // Index of the first line of key in the section whose header is at headerLine, or -1.
    int FindKeyLine(int headerLine, std::string_view key) const;
    // One past the last line of the section whose header is at headerLine.
    std::size_t SectionEnd(int headerLine) const;

    std::string m_strPath;
    std::vector<Line> m_lines;
    bool m_bCrLf = false;
    bool m_bBom = false;
    bool m_bFinalNewline = true;
    bool m_bLoadFailed = false;
    bool m_bModified = false;
};

// An integer as GetPrivateProfileInt reads it: leading blanks, an optional '+' or '-', then
// decimal digits up to the first other character; no digits reads as 0. Only decimal: a
// "0x1F" reads as 0, as the Windows function does. Values beyond 32 bits wrap as there.
int ParseProfileInt(std::string_view text);

// Writes content to path atomically: a temporary file in the same folder, fsync, rename over
// the old file, fsync of the folder. Keeps the old file's permissions. False on any error,
// and the old file is then untouched.
bool WriteFileAtomically(const std::string& path, std::string_view content);
