// A fresh folder for one test's files, removed afterwards, and whole-file
// reads and writes in bytes (paths through UTF-8, as the tools take them).
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

namespace mq::testing {

class TempFolder {
public:
    TempFolder()
    {
        static std::atomic<int> serial{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        root_ = std::filesystem::temp_directory_path() /
                ("mapquill-test-" + std::to_string(stamp) + "-" + std::to_string(serial++));
        std::filesystem::create_directories(root_);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // A name inside the folder ("sub/a.txt" works too), as UTF-8.
    std::string path(const std::string& name) const
    {
        const auto p = (root_ / std::filesystem::u8path(name)).u8string();
        return std::string(p.begin(), p.end());
    }
    const std::filesystem::path& root() const { return root_; }

    // Writes the bytes and returns the file's path.
    std::string write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(std::filesystem::u8path(path(name)), std::ios::binary) << bytes;
        return path(name);
    }
    // The file's bytes, or "<missing>".
    std::string read(const std::string& name) const
    {
        std::ifstream in(std::filesystem::u8path(path(name)), std::ios::binary);
        if (!in) return "<missing>";
        return {std::istreambuf_iterator<char>(in), {}};
    }
    bool exists(const std::string& name) const { return std::filesystem::exists(std::filesystem::u8path(path(name))); }

private:
    std::filesystem::path root_;
};

}  // namespace mq::testing
