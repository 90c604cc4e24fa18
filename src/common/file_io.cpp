#include "common/file_io.h"

#include "common/file_handles.h"
#include "common/file_stream.h"
#include "common/utf8.h"

#include <cctype>
#include <cerrno>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <system_error>

namespace mq::io {

namespace fs = std::filesystem;

namespace {

std::string errnoText(int error) { return std::generic_category().message(error); }

Error readFailure(const std::string& path, std::string reason, ErrorKind kind = ErrorKind::access)
{
    return Error{std::move(reason), path, 0}.as(kind);
}

}  // namespace

Result<std::string> readWholeFile(const std::string& path) {
    const std::optional<fs::path> named = text::path_from_utf8(path);
    if (!named) return readFailure(path, "the file name is not valid UTF-8 text");
    const fs::path& p = *named;
    std::error_code ec;
    const fs::file_status st = fs::status(p, ec);
    if (st.type() == fs::file_type::not_found)
        return readFailure(path, errnoText(ENOENT), ErrorKind::file_not_found);
    if (ec) return readFailure(path, ec.message());
    if (st.type() == fs::file_type::directory) return readFailure(path, errnoText(EISDIR));
    if (st.type() != fs::file_type::regular) return readFailure(path, "not a regular file");

    const int fd = handles::open_for_reading(p.c_str());
    if (fd < 0) {
        const int error = errno;
        return readFailure(path, errnoText(error),
                           error == ENOENT ? ErrorKind::file_not_found : ErrorKind::access);
    }

    std::string bytes;
    try {
        const auto size = fs::file_size(p, ec);
        if (!ec) bytes.reserve(static_cast<std::size_t>(size));
        // The size is only a hint: the file may grow or shrink meanwhile.
        constexpr std::size_t kChunk = 1 << 16;
        for (;;) {
            const std::size_t used = bytes.size();
            bytes.resize(used + kChunk);
            const long long got = handles::read_some(fd, bytes.data() + used, kChunk);
            if (got < 0) {
                const int error = errno;
                handles::close_file(fd);
                return readFailure(path, errnoText(error));
            }
            bytes.resize(used + static_cast<std::size_t>(got));
            if (got == 0) break;
        }
    } catch (const std::bad_alloc&) {
        handles::close_file(fd);
        return readFailure(path, "the file is too large");
    } catch (const std::length_error&) {
        handles::close_file(fd);
        return readFailure(path, "the file is too large");
    }
    handles::close_file(fd);
    return bytes;
}

std::string windowsNameProblem(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    for (const char c : name) {
        if (std::string_view("*?\"<>|:").find(c) != std::string_view::npos)
            return std::string("Windows does not allow the character ") + c + " in a file name";
        if (static_cast<unsigned char>(c) < 0x20)
            return "Windows does not allow control characters in a file name";
    }
    if (!name.empty() && (name.back() == '.' || name.back() == ' ') && name != "." && name != "..")
        return "Windows does not allow a file name that ends in a dot or a blank";
    // A device name stays one with any extension and blanks before it.
    std::string stem(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (char& c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const bool numbered = stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) &&
                          stem[3] >= '1' && stem[3] <= '9';
    if (numbered || stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL")
        return "\"" + stem + "\" is a device on Windows, not a file; choose another name";
    return {};
}

Status writeFileSafely(const std::string& path, std::string_view bytes) {
#ifdef _WIN32
    if (std::string problem = windowsNameProblem(path); !problem.empty()) return Error{problem, path, 0};
#endif
    OutputFile out;
    if (Status opened = out.open(path, OutputFile::Wording::save); !opened) return opened;
    out.write(bytes);
    return out.commit();
}

}  // namespace mq::io
