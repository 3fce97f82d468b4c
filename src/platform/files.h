// Plain file services: fixed-length record files and appending text files.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace ralvo {

// A read-only file of fixed-length records, numbered from 1.
class RecordFile {
public:
    RecordFile() = default;
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    bool Open(const std::string& path, int recordLength);
    bool IsOpen() const { return f_ != nullptr; }
    int64_t Length() const { return length_; }
    // Reads record n (1-based) into out (recordLength bytes). A record that runs past
    // the end of the file is read as far as it goes and zero-filled. False on an I/O error.
    bool Read(int64_t n, std::vector<uint8_t>& out);
    bool Close();

private:
    std::FILE* f_ = nullptr;
    int recordLength_ = 0;
    int64_t length_ = 0;
};

// Appends text (UTF-8, converted to CP932) to a file, creating it. False on failure.
bool AppendTextFile(const std::string& path, const std::string& text);

bool FileExists(const std::string& path);

}  // namespace ralvo
