#include "platform/ProfileFile.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool EqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (x != y && !(x < 128 && y < 128 && std::tolower(x) == std::tolower(y)))
            return false;
    }
    return true;
}

// A section header "[name]": the trimmed name. Without ']' the rest of the line is the name,
// as the Windows reader takes it.
std::optional<std::string_view> SectionName(std::string_view line)
{
    line = Trim(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    line.remove_prefix(1);
    const auto close = line.find(']');
    if (close != std::string_view::npos)
        line = line.substr(0, close);
    return Trim(line);
}

bool IsComment(std::string_view trimmed)
{
    return !trimmed.empty() && (trimmed.front() == ';' || trimmed.front() == '#');
}

// A "key=value" line: the trimmed key and value. Comments and lines without '=' are no keys.
bool SplitKeyLine(std::string_view line, std::string_view& key, std::string_view& value)
{
    const auto trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == '[' || IsComment(trimmed))
        return false;
    const auto eq = trimmed.find('=');
    if (eq == std::string_view::npos)
        return false;
    key = Trim(trimmed.substr(0, eq));
    value = Trim(trimmed.substr(eq + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return true;
}

std::string WithoutLineBreaks(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c == '\n' || c == '\r')
            c = ' ';
    return out;
}

bool ValidSectionName(std::string_view s)
{
    s = Trim(s);
    return !s.empty() && s.find_first_of("]\r\n") == std::string_view::npos;
}

bool ValidKeyName(std::string_view k)
{
    k = Trim(k);
    return !k.empty() && k.find_first_of("=\r\n") == std::string_view::npos && k.front() != '['
        && !IsComment(k);
}

std::string FolderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// The file a path names, following a symbolic link so that saving keeps the link.
std::string ResolveTarget(const std::string& path)
{
    struct stat st{};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            std::string resolved(real);
            std::free(real);
            return resolved;
        }
    }
    return path;
}

// The process's umask without changing it: umask() itself would clear it for a moment for
// every thread.
mode_t CurrentUmask()
{
    if (FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status))
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        std::fclose(status);
        if (found)
            return static_cast<mode_t>(mask & 0777);
    }
    return 022;
}

bool WriteAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const auto n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

} // namespace

int ParseProfileInt(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate in 32 unsigned bits: overflow wraps as in the Windows reader, without
    // undefined behaviour.
    std::uint32_t value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
        ++i;
    }
    if (negative)
        value = 0u - value;
    return static_cast<int>(value);
}

bool WriteFileAtomically(const std::string& givenPath, std::string_view content)
{
    const std::string path = ResolveTarget(givenPath);
    const std::string folder = FolderOf(path);
    const auto slash = path.rfind('/');
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string tmpl = folder + "/." + base + ".tmpXXXXXX";

    mode_t mode = 0;
    struct stat st{};
    if (::stat(path.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            return false;  // never replace a directory or a device
        mode = st.st_mode & 07777;
    } else {
        mode = 0666 & ~CurrentUmask();
    }

    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0)
        return false;
    bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, content) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok)
        ok = ::rename(tmpl.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(tmpl.c_str());
        return false;
    }
    // Make the rename itself durable; a failure here leaves a complete file either way.
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

ProfileFile::ProfileFile(std::string path)
{
    Load(std::move(path));
}

bool ProfileFile::Load(std::string path)
{
    m_strPath = std::move(path);
    m_lines.clear();
    m_bCrLf = false;
    m_bBom = false;
    m_bFinalNewline = true;
    m_bLoadFailed = false;
    m_bModified = false;

    const int fd = ::open(m_strPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        m_bLoadFailed = errno != ENOENT && errno != ENOTDIR;
        return !m_bLoadFailed;
    }
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<std::size_t>(st.st_size) > kMaxFileSize) {
        ::close(fd);
        m_bLoadFailed = true;
        return false;
    }
    std::string content;
    char buffer[65536];
    for (;;) {
        const auto n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            m_bLoadFailed = true;
            return false;
        }
        if (n == 0)
            break;
        content.append(buffer, static_cast<std::size_t>(n));
        if (content.size() > kMaxFileSize) {
            ::close(fd);
            m_bLoadFailed = true;
            return false;
        }
    }
    ::close(fd);
    Parse(content);
    return true;
}

void ProfileFile::Parse(std::string_view content)
{
    if (content.substr(0, 3) == "\xEF\xBB\xBF") {
        m_bBom = true;
        content.remove_prefix(3);
    }
    m_bFinalNewline = content.empty() || content.back() == '\n';
    std::size_t crlf = 0, lf = 0;
    while (!content.empty()) {
        auto end = content.find('\n');
        std::string_view line = content.substr(0, end);
        content = end == std::string_view::npos ? std::string_view() : content.substr(end + 1);
        if (end != std::string_view::npos) {
            ++lf;
            if (!line.empty() && line.back() == '\r') {
                ++crlf;
                line.remove_suffix(1);
            }
        }
        m_lines.push_back(Line{std::string(line), -1});
    }
    m_bCrLf = crlf > 0 && crlf * 2 >= lf;
    Reindex();
}

void ProfileFile::Reindex()
{
    int section = -1;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (SectionName(m_lines[i].text))
            section = static_cast<int>(i);
        m_lines[i].sectionIndex = section;
    }
}

int ProfileFile::FindSectionLine(std::string_view section) const
{
    section = Trim(section);
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].sectionIndex != static_cast<int>(i))
            continue;
        if (EqualNoCase(*SectionName(m_lines[i].text), section))
            return static_cast<int>(i);
    }
    return -1;
}

int ProfileFile::FindKeyLine(int headerLine, std::string_view key) const
{
    key = Trim(key);
    const auto end = SectionEnd(headerLine);
    for (std::size_t i = static_cast<std::size_t>(headerLine) + 1; i < end; ++i) {
        std::string_view k, v;
        if (SplitKeyLine(m_lines[i].text, k, v) && EqualNoCase(k, key))
            return static_cast<int>(i);
    }
    return -1;
}

std::size_t ProfileFile::SectionEnd(int headerLine) const
{
    std::size_t i = static_cast<std::size_t>(headerLine) + 1;
    while (i < m_lines.size() && m_lines[i].sectionIndex == headerLine)
        ++i;
    return i;
}

std::optional<std::string> ProfileFile::GetString(std::string_view section, std::string_view key) const
{
    const int header = FindSectionLine(section);
    if (header < 0)
        return std::nullopt;
    const int line = FindKeyLine(header, key);
    if (line < 0)
        return std::nullopt;
    std::string_view k, v;
    SplitKeyLine(m_lines[static_cast<std::size_t>(line)].text, k, v);
    return std::string(v);
}

std::string ProfileFile::GetString(std::string_view section, std::string_view key, std::string_view defaultValue) const
{
    auto value = GetString(section, key);
    return value ? std::move(*value) : std::string(defaultValue);
}

int ProfileFile::GetInt(std::string_view section, std::string_view key, int defaultValue) const
{
    const auto value = GetString(section, key);
    if (!value || value->empty())
        return defaultValue;
    return ParseProfileInt(*value);
}

bool ProfileFile::HasSection(std::string_view section) const
{
    return FindSectionLine(section) >= 0;
}

std::vector<std::string> ProfileFile::Sections() const
{
    std::vector<std::string> names;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].sectionIndex != static_cast<int>(i))
            continue;
        const auto name = *SectionName(m_lines[i].text);
        if (FindSectionLine(name) == static_cast<int>(i))
            names.emplace_back(name);
    }
    return names;
}

std::vector<std::string> ProfileFile::Keys(std::string_view section) const
{
    std::vector<std::string> keys;
    const int header = FindSectionLine(section);
    if (header < 0)
        return keys;
    const auto end = SectionEnd(header);
    for (std::size_t i = static_cast<std::size_t>(header) + 1; i < end; ++i) {
        std::string_view k, v;
        if (SplitKeyLine(m_lines[i].text, k, v) && FindKeyLine(header, k) == static_cast<int>(i))
            keys.emplace_back(k);
    }
    return keys;
}

bool ProfileFile::SetString(std::string_view section, std::string_view key, std::string_view value)
{
    if (!ValidSectionName(section) || !ValidKeyName(key))
        return false;
    const std::string newLine = std::string(Trim(key)) + "=" + WithoutLineBreaks(value);
    int header = FindSectionLine(section);
    if (header < 0) {
        m_lines.push_back(Line{"[" + std::string(Trim(section)) + "]", -1});
        m_lines.push_back(Line{newLine, -1});
        Reindex();
        m_bModified = true;
        return true;
    }
    const int existing = FindKeyLine(header, key);
    if (existing >= 0) {
        auto& text = m_lines[static_cast<std::size_t>(existing)].text;
        if (text != newLine) {
            text = newLine;
            m_bModified = true;
        }
        return true;
    }
    // After the last key of the section, so that blank lines and comments before the next
    // section stay with that section.
    std::size_t insertAt = static_cast<std::size_t>(header) + 1;
    for (std::size_t i = insertAt, end = SectionEnd(header); i < end; ++i) {
        std::string_view k, v;
        if (SplitKeyLine(m_lines[i].text, k, v))
            insertAt = i + 1;
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insertAt), Line{newLine, header});
    Reindex();
    m_bModified = true;
    return true;
}

bool ProfileFile::SetInt(std::string_view section, std::string_view key, int value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d", value);
    return SetString(section, key, text);
}

bool ProfileFile::DeleteKey(std::string_view section, std::string_view key)
{
    bool removed = false;
    for (std::size_t i = m_lines.size(); i-- > 0;) {
        const int header = m_lines[i].sectionIndex;
        std::string_view k, v;
        if (header < 0 || header == static_cast<int>(i) || !SplitKeyLine(m_lines[i].text, k, v))
            continue;
        if (EqualNoCase(k, Trim(key)) && EqualNoCase(*SectionName(m_lines[static_cast<std::size_t>(header)].text), Trim(section))) {
            m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(i));
            removed = true;
        }
    }
    if (removed) {
        Reindex();
        m_bModified = true;
    }
    return removed;
}

bool ProfileFile::DeleteSection(std::string_view section)
{
    bool removed = false;
    for (int header = FindSectionLine(section); header >= 0; header = FindSectionLine(section)) {
        const auto end = SectionEnd(header);
        m_lines.erase(m_lines.begin() + header, m_lines.begin() + static_cast<std::ptrdiff_t>(end));
        Reindex();
        removed = true;
    }
    if (removed)
        m_bModified = true;
    return removed;
}

std::string ProfileFile::Text() const
{
    const char* eol = m_bCrLf ? "\r\n" : "\n";
    std::string out;
    if (m_bBom)
        out += "\xEF\xBB\xBF";
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        out += m_lines[i].text;
        if (i + 1 < m_lines.size() || m_bFinalNewline || m_bModified)
            out += eol;
    }
    return out;
}

bool ProfileFile::Save() const
{
    if (m_bLoadFailed || m_strPath.empty())
        return false;
    return WriteFileAtomically(m_strPath, Text());
}

bool ProfileFile::SaveAs(const std::string& path) const
{
    if (path.empty())
        return false;
    return WriteFileAtomically(path, Text());
}
