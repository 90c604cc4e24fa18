// The one form in which operations report what went wrong: a message, and for
// file work the file and the line (or record) where it happened.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <variant>

namespace mq {

struct Error {
    std::string message;     // what is wrong, e.g. "field 2 is not a number"
    std::string file;        // the file concerned; empty when none
    std::int64_t line = 0;   // 1-based line or record number; 0 when none
    // What became of the output of a run that ended here, when an existing
    // output was kept (see io::stopped_note); empty otherwise.
    std::string note{};

    // "line 17: field 2 is not a number", "in.txt, line 17: ...", "in.txt: ..."
    // or just the message, depending on what is known; then the note.
    std::string text() const;
};

// A value or an Error.
template <class T>
class Result {
public:
    Result(T value) : state_(std::move(value)) {}
    Result(Error error) : state_(std::move(error)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }
    T& value() { return std::get<0>(state_); }
    const T& value() const { return std::get<0>(state_); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    const Error& error() const { return std::get<1>(state_); }

private:
    std::variant<T, Error> state_;
};

// Success without a value, or an Error.
template <>
class Result<void> {
public:
    Result() = default;
    Result(Error error) : error_(std::move(error)), ok_(false) {}

    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    const Error& error() const { return error_; }

private:
    Error error_;
    bool ok_ = true;
};

using Status = Result<void>;

}  // namespace mq
