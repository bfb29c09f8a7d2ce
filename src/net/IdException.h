#pragma once

#include "platform/Exceptions.h"

#include <cstdint>
#include <string>

namespace brinmor {

// Root of every error the network client raises.
class EIdException : public Exception {
public:
    using Exception::Exception;
};

class EIdAlreadyConnected : public EIdException {
public:
    using EIdException::EIdException;
};

// Never raised itself; parent of the graceful close.
class EIdSilentException : public EIdException {
public:
    using EIdException::EIdException;
};

class EIdConnClosedGraceful : public EIdSilentException {
public:
    using EIdSilentException::EIdSilentException;
};

class EIdInvalidSocket : public EIdException {
public:
    using EIdException::EIdException;
};

// A failed socket call: the Windows Sockets error code and its text.
class EIdSocketError : public EIdException {
public:
    EIdSocketError(std::int32_t errorCode, std::string message);
    std::int32_t ErrorCode() const noexcept { return errorCode_; }

private:
    std::int32_t errorCode_;
};

class EIdProtocolReplyError : public EIdException {
public:
    EIdProtocolReplyError(std::int32_t replyCode, std::string message);
    std::int32_t ReplyCode() const noexcept { return replyCode_; }

private:
    std::int32_t replyCode_;
};

class EIdResponseError : public EIdException {
public:
    using EIdException::EIdException;
};

} // namespace brinmor
