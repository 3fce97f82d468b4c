#include "platform/files.h"

#include <sys/stat.h>

#include <algorithm>

#include "platform/profile.h"

namespace ralvo {

RecordFile::~RecordFile() { Close(); }

bool RecordFile::Open(const std::string& path, int recordLength) {
    Close();
    if (recordLength <= 0) return false;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    struct stat st {};
    if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode)) {
        std::fclose(f);
        return false;
    }
    f_ = f;
    recordLength_ = recordLength;
    length_ = st.st_size;
    return true;
}

bool RecordFile::Read(int64_t n, std::vector<uint8_t>& out) {
    if (!f_ || n < 1) return false;
    out.assign(static_cast<size_t>(recordLength_), 0);
    const int64_t offset = (n - 1) * recordLength_;
    if (offset >= length_) return true;  // wholly past the end: all zeros
    if (fseeko(f_, static_cast<off_t>(offset), SEEK_SET) != 0) return false;
    const size_t want = static_cast<size_t>(std::min<int64_t>(recordLength_, length_ - offset));
    const size_t got = std::fread(out.data(), 1, want, f_);
    // A file that shrank since it was opened reads short without an error; the rest stays zero.
    return got == want || !std::ferror(f_);
}

bool RecordFile::Close() {
    if (!f_) return true;
    const bool ok = std::fclose(f_) == 0;
    f_ = nullptr;
    recordLength_ = 0;
    length_ = 0;
    return ok;
}

bool AppendTextFile(const std::string& path, const std::string& text) {
    // Lines end in CR LF on disk; a bare LF from the caller is widened.
    std::string crlf;
    crlf.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) crlf += '\r';
        crlf += text[i];
    }
    const std::string bytes = Utf8ToCp932(crlf);
    std::FILE* f = std::fopen(path.c_str(), "ab");
    if (!f) return false;
    const bool wrote = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool closed = std::fclose(f) == 0;
    return wrote && closed;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace ralvo
