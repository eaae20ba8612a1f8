// SPDX-License-Identifier: MIT
#pragma once

#include <exception>
#include <string>

// The general error of the system. Every failure that a handler can meet
// derives from it; the message is UTF-8 text meant for the user.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const noexcept { return message_; }

private:
    std::string message_;
};

// A text that does not convert to a number.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// A file that cannot be read; the message names the file.
class EFileError : public Exception {
public:
    using Exception::Exception;
};

// A list row or field index outside the list ("Row parameter out of range").
class EListError : public Exception {
public:
    using Exception::Exception;
};

// A column index outside the columns of a query result.
class ERangeError : public Exception {
public:
    using Exception::Exception;
};
