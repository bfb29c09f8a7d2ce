#pragma once

// Message texts of the network client. They are English in every language of the program.

namespace brinmor {

// Connection
inline constexpr const char* RSAlreadyConnected = "Already connected.";
inline constexpr const char* RSConnectionClosedGracefully = "Connection Closed Gracefully.";
inline constexpr const char* RSNotEnoughDataInBuffer = "Not enough data in buffer.";
inline constexpr const char* RSInterceptPropIsNil =
    "InterceptEnabled cannot be set to true when Intercept is nil.";
inline constexpr const char* RSOnlyOneAntiFreeze =
    "Only one TIdAntiFreeze can exist per application.";
inline constexpr const char* RSAnswerTooLarge = "The answer is too large (more than 64 MiB).";

// Status texts, indexed by TIdStatus; %s is the host name or the address.
inline constexpr const char* RSStatusResolving = "Resolving hostname %s.";
inline constexpr const char* RSStatusConnecting = "Connecting to %s.";
inline constexpr const char* RSStatusConnected = "Connected.";
inline constexpr const char* RSStatusDisconnecting = "Disconnecting from %s.";
inline constexpr const char* RSStatusDisconnected = "Not connected.";

// Socket stack
inline constexpr const char* RSWinsockLoadError = "%s could not be loaded.";
inline constexpr const char* RSWinsockInitializationError = "Winsock Initialization Error.";
inline constexpr const char* RSCannotAllocateSocket = "Cannot allocate socket.";
inline constexpr const char* RSSetSizeExceeded = "Set Size Exceeded.";
inline constexpr const char* RSInvalidServiceName = "%s is not a valid service.";
inline constexpr const char* RSStackError = "Socket Error # %d\r\n%s";

// SOCKS
inline constexpr const char* RSSocksRequestFailed = "Request rejected or failed.";
inline constexpr const char* RSSocksRequestServerFailed =
    "Request rejected because SOCKS server cannot connect.";
inline constexpr const char* RSSocksRequestIdentFailed =
    "Request rejected because the client program and identd report different user-ids.";
inline constexpr const char* RSSocksUnknownError = "Unknown socks error.";
inline constexpr const char* RSSocksServerRespondError = "Socks server didn't respond.";
inline constexpr const char* RSSocksAuthMethodError = "Invalid socks authentication method.";
inline constexpr const char* RSSocksAuthError = "Authentication error to socks server.";
inline constexpr const char* RSSocksServerGeneralError = "General SOCKS server failure.";
inline constexpr const char* RSSocksServerPermissionError = "Connection not allowed by ruleset.";
inline constexpr const char* RSSocksServerNetUnreachableError = "Network unreachable.";
inline constexpr const char* RSSocksServerHostUnreachableError = "Host unreachable.";
inline constexpr const char* RSSocksServerConnectionRefusedError = "Connection refused.";
inline constexpr const char* RSSocksServerTTLExpiredError = "TTL expired.";
inline constexpr const char* RSSocksServerCommandError = "Command not supported.";
inline constexpr const char* RSSocksServerAddressError = "Address type not supported.";
inline constexpr const char* RSSocksNotAvailable = "SOCKS negotiation is not available.";

// The text of a Windows Sockets error code; the empty text for a code not in the table.
const char* WinsockErrorText(int code);

} // namespace brinmor
