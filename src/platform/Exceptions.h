#pragma once

#include <exception>
#include <string>

namespace brinmor {

// Root of every error the program raises; carries the text the user sees.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const std::string& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

// "'%s' n'est pas une valeur entière correcte"
class EConvertError : public Exception {
public:
    using Exception::Exception;
    static EConvertError NotAnInteger(const std::string& text);
};

// A list read at a bad index: "Indice de liste hors limites (%d)".
class EStringListError : public Exception {
public:
    using Exception::Exception;
    static EStringListError IndexOutOfBounds(int index);
};

class EOutOfResources : public Exception {
public:
    using Exception::Exception;
};

// Text-file failure: the platform's error code and the French message chosen by it.
class EInOutError : public Exception {
public:
    explicit EInOutError(int errorCode);
    int ErrorCode() const noexcept { return errorCode_; }
    static std::string MessageFor(int errorCode);

private:
    int errorCode_;
};

} // namespace brinmor
