// Small helpers shared by the tests: temporary directories and the effect log.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "platform/headless/headless_platform.h"

namespace ralvo::test {

// A fresh empty directory, removed when the object goes.
class TempDir {
public:
    TempDir() {
        path_ = std::filesystem::temp_directory_path() /
                ("ralvo-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string str() const { return path_.string(); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path_ / name, std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(path_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::filesystem::path path_;
    static inline int counter_ = 0;
};

inline bool LogHas(const HeadlessPlatform& p, const std::string& needle) {
    for (const std::string& line : p.Log())
        if (line.find(needle) != std::string::npos) return true;
    return false;
}

inline std::string LogText(const HeadlessPlatform& p) {
    std::string all;
    for (const std::string& line : p.Log()) all += line + "\n";
    return all;
}

}  // namespace ralvo::test
