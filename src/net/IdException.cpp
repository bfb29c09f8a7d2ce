#include "net/IdException.h"

namespace brinmor {

EIdSocketError::EIdSocketError(std::int32_t errorCode, std::string message)
    : EIdException(std::move(message)), errorCode_(errorCode) {}

EIdProtocolReplyError::EIdProtocolReplyError(std::int32_t replyCode, std::string message)
    : EIdException(std::move(message)), replyCode_(replyCode) {}

} // namespace brinmor
