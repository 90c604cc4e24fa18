// The one form in which operations report what went wrong: a message, and for
// file work the file and the line (or record) where it happened.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <variant>

namespace mq {

// What sort of failure an Error is, set where it arises. An error box shows
// the kind's number (error_number), in the numbering users know from their
// message boxes; a message's wording never decides it.
enum class ErrorKind {
    access,           // 75: a path or file that cannot be used as asked
    type_mismatch,    // 13: a value that is not a number, or out of its range
    file_not_found,   // 53: a file that cannot be opened
    past_end,         // 62: a file that ends too early
};

int error_number(ErrorKind kind);

struct Error {
    std::string message;     // what is wrong, e.g. "field 2 is not a number"
    std::string file;        // the file concerned; empty when none
    std::int64_t line = 0;   // 1-based line or record number; 0 when none
    ErrorKind kind = ErrorKind::access;
    // What became of the output of a run that ended here, when an existing
    // output was kept (see io::stopped_note); empty otherwise.
    std::string note{};

    // "line 17: field 2 is not a number", "in.txt, line 17: ...", "in.txt: ..."
    // or just the message, depending on what is known; then the note.
    std::string text() const;

    // The same error with its kind set: Error{...}.as(ErrorKind::past_end).
    Error as(ErrorKind k) &&
    {
        kind = k;
        return std::move(*this);
    }
};

// "<number>  <what went wrong>" as an error box shows it: the number of the
// error's kind, two blanks and its text ("53  in.bin: cannot open the file: ...").
std::string error_box_text(const Error& error);

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
