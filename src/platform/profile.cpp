#include "platform/profile.h"

#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <optional>
#include <string_view>
#include <vector>

namespace ralvo {

namespace {

// --- Character sets

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (ok()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts in; on a byte sequence that cannot be converted, appends bad and
    // skips skip(pos) input bytes.
    template <typename Skip>
    std::string Run(const std::string& in, std::string_view bad, Skip skip) {
        std::string out;
        if (!ok()) return out;
        char buf[1024];
        size_t pos = 0;
        while (pos < in.size()) {
            char* src = const_cast<char*>(in.data() + pos);
            size_t srcLeft = in.size() - pos;
            char* dst = buf;
            size_t dstLeft = sizeof buf;
            const size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            const int err = errno;
            out.append(buf, static_cast<size_t>(dst - buf));
            pos = in.size() - srcLeft;
            if (r != static_cast<size_t>(-1)) break;
            if (err == E2BIG) continue;
            out += bad;
            if (err == EINVAL) break;  // incomplete sequence at the end
            pos += skip(in, pos);
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

private:
    iconv_t cd_;
};

// Bytes taken by the UTF-8 character at pos (1 for a malformed one).
size_t Utf8CharLength(const std::string& s, size_t pos) {
    const auto c = static_cast<unsigned char>(s[pos]);
    size_t n = c < 0x80 ? 1 : (c & 0xe0) == 0xc0 ? 2 : (c & 0xf0) == 0xe0 ? 3 : (c & 0xf8) == 0xf0 ? 4 : 1;
    if (pos + n > s.size()) return 1;
    for (size_t i = 1; i < n; ++i)
        if ((static_cast<unsigned char>(s[pos + i]) & 0xc0) != 0x80) return 1;
    return n;
}

bool IsLeadByte(char c) {
    const auto b = static_cast<unsigned char>(c);
    return (b >= 0x81 && b <= 0x9f) || (b >= 0xe0 && b <= 0xfc);
}

// Length of the CP932 character at pos.
size_t CharLen(std::string_view s, size_t pos) { return IsLeadByte(s[pos]) && pos + 1 < s.size() ? 2 : 1; }

// --- Profile text, worked on as CP932 bytes. Names are compared with ASCII
// letters folded; the trail byte of a double-byte character is never folded.

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);  // a trail byte is never a blank
    return s;
}

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size();) {
        const size_t n = CharLen(a, i);
        if (n == 2) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
        } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
        i += n;
    }
    return true;
}

// Position of the first single-byte c in s, skipping double-byte characters.
size_t FindSingle(std::string_view s, char c) {
    for (size_t i = 0; i < s.size(); i += CharLen(s, i))
        if (s[i] == c) return i;
    return std::string_view::npos;
}

struct Line {
    std::string text;  // without its line end
    std::string eol;   // "\r\n", "\n" or "" on a last line without one
};

std::vector<Line> SplitLines(const std::string& bytes) {
    std::vector<Line> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t nl = bytes.find('\n', start);
        Line line;
        if (nl == std::string::npos) {
            line.text = bytes.substr(start);
            start = bytes.size();
        } else {
            size_t end = nl;
            if (end > start && bytes[end - 1] == '\r') --end;
            line.text = bytes.substr(start, end - start);
            line.eol = bytes.substr(end, nl + 1 - end);
            start = nl + 1;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

enum class LineKind { Other, Section, Key };

struct Parsed {
    LineKind kind = LineKind::Other;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // key value, trimmed
    size_t valueStart = 0;   // offset in the line where the value text begins (after '=' and blanks)
};

Parsed ParseLine(const std::string& text) {
    Parsed p;
    const std::string_view t = TrimBlanks(text);
    if (t.empty() || t.front() == ';') return p;
    if (t.front() == '[') {
        std::string_view inner = t.substr(1);
        const size_t close = FindSingle(inner, ']');
        if (close != std::string_view::npos) inner = inner.substr(0, close);
        p.kind = LineKind::Section;
        p.name = TrimBlanks(inner);
        return p;
    }
    const size_t eq = FindSingle(text, '=');
    if (eq == std::string::npos) return p;
    p.kind = LineKind::Key;
    p.name = TrimBlanks(std::string_view(text).substr(0, eq));
    size_t v = eq + 1;
    while (v < text.size() && IsBlank(text[v])) ++v;
    p.valueStart = v;
    p.value = TrimBlanks(std::string_view(text).substr(v));
    return p;
}

struct Location {
    int section = -1;     // line of the section header
    int sectionEnd = 0;   // first line after the section
    int key = -1;         // line of the key
    int lastKey = -1;     // last key line of the section
};

// The first section of that name, and the first key of that name in it.
Location Locate(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
    Location loc;
    const int n = static_cast<int>(lines.size());
    for (int i = 0; i < n; ++i) {
        const Parsed p = ParseLine(lines[i].text);
        if (p.kind == LineKind::Section && SameName(p.name, section)) {
            loc.section = i;
            break;
        }
    }
    if (loc.section < 0) return loc;
    loc.sectionEnd = n;
    for (int i = loc.section + 1; i < n; ++i) {
        const Parsed p = ParseLine(lines[i].text);
        if (p.kind == LineKind::Section) {
            loc.sectionEnd = i;
            break;
        }
        if (p.kind == LineKind::Key) {
            loc.lastKey = i;
            if (loc.key < 0 && SameName(p.name, key)) loc.key = i;
        }
    }
    return loc;
}

enum class ReadResult { Ok, Missing, Failed };

ReadResult ReadWholeFile(const std::string& path, std::string& out) {
    out.clear();
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? ReadResult::Missing : ReadResult::Failed;
    char buf[8192];
    for (;;) {
        const ssize_t r = read(fd, buf, sizeof buf);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) {
            close(fd);
            return ReadResult::Failed;
        }
        if (r == 0) break;
        out.append(buf, static_cast<size_t>(r));
    }
    close(fd);
    return ReadResult::Ok;
}

// The raw value bytes of section/key, or nothing when the file, section or key is missing.
std::optional<std::string> FindValue(const std::string& section, const std::string& key, const std::string& fileName) {
    std::string bytes;
    if (ReadWholeFile(fileName, bytes) != ReadResult::Ok) return std::nullopt;
    const std::vector<Line> lines = SplitLines(bytes);
    const Location loc = Locate(lines, Utf8ToCp932(section), Utf8ToCp932(key));
    if (loc.key < 0) return std::nullopt;
    return std::string(ParseLine(lines[loc.key].text).value);
}

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t w = write(fd, bytes.data() + done, bytes.size() - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        done += static_cast<size_t>(w);
    }
    return true;
}

// Replaces the file's content through a temporary file in the same directory, so
// that the file is either wholly old or wholly new.
bool ReplaceFile(const std::string& path, const std::string& bytes, std::optional<mode_t> mode) {
    const size_t slash = path.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    std::string tmp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tmp = path + ".~" + std::to_string(getpid()) + "." + std::to_string(attempt);
        fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;
    bool ok = WriteAll(fd, bytes);
    if (ok && mode) ok = fchmod(fd, *mode) == 0;
    if (ok) ok = fsync(fd) == 0;
    if (close(fd) != 0) ok = false;
    if (ok) ok = rename(tmp.c_str(), path.c_str()) == 0;
    if (!ok) {
        unlink(tmp.c_str());
        return false;
    }
    // Make the rename itself durable; the file is already complete either way.
    const int dfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        fsync(dfd);
        close(dfd);
    }
    return true;
}

// A name or value on one line: line breaks would split the entry.
std::string OneLine(std::string s) {
    for (char& c : s)
        if (c == '\r' || c == '\n') c = ' ';
    return s;
}

}  // namespace

std::string Cp932ToUtf8(const std::string& bytes) {
    Converter conv("UTF-8", "CP932");
    return conv.Run(bytes, "\xEF\xBF\xBD", [](const std::string&, size_t) { return size_t{1}; });
}

std::string Utf8ToCp932(const std::string& text) {
    Converter conv("CP932", "UTF-8");
    return conv.Run(text, "?", [](const std::string& s, size_t pos) { return Utf8CharLength(s, pos); });
}

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultText, const std::string& fileName) {
    std::optional<std::string> value = FindValue(section, key, fileName);
    if (!value) return defaultText;
    // The value is read into a 200-byte buffer: at most 199 bytes, whole characters only.
    constexpr size_t kMaxBytes = 199;
    size_t keep = 0;
    while (keep < value->size()) {
        const size_t n = CharLen(*value, keep);
        if (keep + n > kMaxBytes) break;
        keep += n;
    }
    value->resize(keep);
    return Cp932ToUtf8(*value);
}

int32_t GetPrivateProfileInt(const std::string& section, const std::string& key, int32_t defaultValue,
                             const std::string& fileName) {
    const std::optional<std::string> value = FindValue(section, key, fileName);
    if (!value) return defaultValue;
    const std::string& s = *value;
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i])) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    // Values beyond the 32-bit range are clamped to its ends.
    int64_t magnitude = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (s[i] - '0');
        if (magnitude > int64_t{INT32_MAX} + 1) magnitude = int64_t{INT32_MAX} + 1;
    }
    const int64_t v = negative ? -magnitude : magnitude;
    return static_cast<int32_t>(v > INT32_MAX ? INT32_MAX : v);
}

bool WritePrivateProfileString(const std::string& section, const std::string& key, const std::string& value,
                               const std::string& fileName) {
    std::string bytes;
    const ReadResult read = ReadWholeFile(fileName, bytes);
    if (read == ReadResult::Failed) return false;
    std::optional<mode_t> mode;
    if (read == ReadResult::Ok) {
        struct stat st {};
        if (stat(fileName.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
        mode = st.st_mode & 07777;
    }

    const std::string sec = Utf8ToCp932(OneLine(section));
    const std::string k = Utf8ToCp932(OneLine(key));
    const std::string v = Utf8ToCp932(OneLine(value));
    std::vector<Line> lines = SplitLines(bytes);

    // New lines follow the file's own line ends; a new file gets CR LF.
    std::string eol = "\r\n";
    for (const Line& line : lines)
        if (!line.eol.empty()) {
            eol = line.eol;
            break;
        }
    if (!lines.empty() && lines.back().eol.empty()) lines.back().eol = eol;

    const Location loc = Locate(lines, sec, k);
    if (loc.key >= 0) {
        Line& line = lines[static_cast<size_t>(loc.key)];
        line.text = line.text.substr(0, ParseLine(line.text).valueStart) + v;
    } else if (loc.section >= 0) {
        const int after = loc.lastKey >= 0 ? loc.lastKey : loc.section;
        lines.insert(lines.begin() + after + 1, Line{k + "=" + v, eol});
    } else {
        // A new section at the end, set off from the one before by a blank line.
        if (!lines.empty() && !TrimBlanks(lines.back().text).empty()) lines.push_back(Line{"", eol});
        lines.push_back(Line{"[" + sec + "]", eol});
        lines.push_back(Line{k + "=" + v, eol});
    }

    std::string out;
    out.reserve(bytes.size() + k.size() + v.size() + sec.size() + 8);
    for (const Line& line : lines) out += line.text + line.eol;
    return ReplaceFile(fileName, out, mode);
}

}  // namespace ralvo
