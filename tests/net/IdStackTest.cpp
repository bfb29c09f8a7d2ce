#include "net/IdStack.h"

#include "net/IdException.h"
#include "net/IdTCPClient.h"
#include "net/IdWinsock.h"
#include "platform/Exceptions.h"
#include "support/Raised.h"
#include "support/Wine.h"

#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#ifndef _WIN32
#include "support/FakeServer.h"

#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace brinmor {
namespace {

// Any network component keeps the process-wide stack alive.
class StackTest : public ::testing::Test {
protected:
    TIdStack& Stack() { return *GStack; }
    TIdTCPClient holder_;
};

// Every code of the table, and the empty text for codes outside it.
TEST_F(StackTest, ErrorTextFormatsCodeAndTableText) {
    const std::pair<int, const char*> table[] = {
        {10004, "Interrupted system call."},
        {10009, "Bad file number."},
        {10013, "Access denied."},
        {10014, "Bad address."},
        {10022, "Invalid argument."},
        {10024, "Too many open files."},
        {10035, "Operation would block. "},
        {10036, "Operation now in progress."},
        {10037, "Operation already in progress."},
        {10038, "Socket operation on non-socket."},
        {10039, "Destination address required."},
        {10040, "Message too long."},
        {10041, "Protocol wrong type for socket."},
        {10042, "Bad protocol option."},
        {10043, "Protocol not supported."},
        {10044, "Socket type not supported."},
        {10045, "Operation not supported on socket."},
        {10046, "Protocol family not supported."},
        {10047, "Address family not supported by protocol family."},
        {10048, "Address already in use."},
        {10049, "Can't assign requested address."},
        {10050, "Network is down."},
        {10051, "Network is unreachable."},
        {10052, "Net dropped connection or reset."},
        {10053, "Software caused connection abort."},
        {10054, "Connection reset by peer."},
        {10055, "No buffer space available."},
        {10056, "Socket is already connected."},
        {10057, "Socket is not connected."},
        {10058, "Cannot send or receive after socket is closed."},
        {10059, "Too many references, can't splice."},
        {10060, "Connection timed out."},
        {10061, "Connection refused."},
        {10062, "Too many levels of symbolic links."},
        {10063, "File name too long."},
        {10064, "Host is down."},
        {10065, "No route to host."},
        {10066, "Directory not empty"},
        {10067, "Too many processes."},
        {10068, "Too many users."},
        {10069, "Disk Quota Exceeded."},
        {10070, "Stale NFS file handle."},
        {10071, "Too many levels of remote in path."},
        {10091, "Network subsystem is unavailable."},
        {10092, "WINSOCK DLL Version out of range."},
        {10093, "Winsock not loaded yet."},
        {11001, "Host not found."},
        {11002, "Non-authoritative response (try again or check DNS setup)."},
        {11003, "Non-recoverable errors: FORMERR, REFUSED, NOTIMP."},
        {11004, "Valid name, no data record (check DNS setup)."},
        // Neighbours and strays that are not in the table.
        {12345, ""},
        {10000, ""},
        {10072, ""},
        {0, ""},
        {-5, ""},
    };
    for (const auto& [code, text] : table)
        EXPECT_EQ(Stack().ErrorText(code), "Socket Error # " + std::to_string(code) + "\r\n" + text)
            << code;
}

TEST_F(StackTest, IsIPAddressSplitsAtDotsAndAcceptsZeroTo255PerPart) {
    const std::pair<const char*, bool> cases[] = {
        {"192.168.001.010", true},
        {"$7F.0.0.1", true},
        {"0x7f.0.0.1", true},
        {"0.0.0.0", true},
        {"255.255.255.255", true},
        {" 1.2.3.4", true},
        {"1.2.3", false},
        {"1.2.3.4.5", false},
        {"256.1.1.1", false},
        {"1.2.3.", false},
        {"-1.2.3.4", false},
        {"a.b.c.d", false},
        {"", false},
        {"localhost", false},
        {"1..3.4", false},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(Stack().IsIPAddress(text), expected) << text;
}

TEST_F(StackTest, TextToAddressConvertsEachPartAndKeepsItsLowByte) {
    const std::pair<const char*, TIdIPv4Bytes> cases[] = {
        {"192.168.001.010", {192, 168, 1, 10}},
        {"$7F.0.0.1", {127, 0, 0, 1}},
        {"1.2.3.260", {1, 2, 3, 4}},
    };
    for (const auto& [text, bytes] : cases)
        EXPECT_EQ(Stack().TextToAddress(text), bytes) << text;
    EXPECT_EQ(Stack().AddressToText({192, 168, 1, 10}), "192.168.1.10");
    const TIdIPv4Bytes loopback{127, 0, 0, 1};
    const std::uint32_t value = Stack().AddressValue("127.0.0.1");
    EXPECT_EQ(0, std::memcmp(&value, loopback.data(), 4));
}

TEST_F(StackTest, TextToAddressRaisesTheConversionErrorForTheBadPart) {
    const std::pair<const char*, const char*> cases[] = {
        {"1.2.3", "''"}, {"1.x.3.4", "'x'"}, {"1.2.3.4.5", "'4.5'"}};
    for (const auto& [text, quoted] : cases) {
        const std::string address = text;
        const auto e = test::Raised<EConvertError>([&] { Stack().TextToAddress(address); });
        ASSERT_TRUE(e);
        EXPECT_EQ(e->Message(), std::string(quoted) + " n'est pas une valeur enti\xE8re correcte");
    }
}

// Replaces the platform's name lookup for the test's lifetime and counts the calls.
class ScopedLookup {
public:
    explicit ScopedLookup(TIdNameLookupAnswer answer) {
        TIdStack::SetNameLookup([this, answer](const std::string& name) {
            asked.push_back(name);
            return answer;
        });
    }
    ~ScopedLookup() { TIdStack::SetNameLookup(nullptr); }
    std::vector<std::string> asked;
};

TEST_F(StackTest, ResolveAddressAnswersLocalhostAndAddressesWithoutLookup) {
    ScopedLookup lookup({TIdIPv4Bytes{10, 9, 8, 7}, 0});
    const std::pair<const char*, const char*> local[] = {{"localhost", "127.0.0.1"},
                                                         {"LocalHost", "127.0.0.1"},
                                                         {"LOCALHOST", "127.0.0.1"},
                                                         {"192.168.001.010", "192.168.001.010"},
                                                         {"$7F.0.0.1", "$7F.0.0.1"}};
    for (const auto& [host, address] : local)
        EXPECT_EQ(Stack().ResolveAddress(host), address) << host;
    EXPECT_TRUE(lookup.asked.empty());

    // Texts that are not addresses go to the lookup unchanged.
    for (const char* host : {"1.2.3", "1.2.3.4.5", "256.1.1.1", "1.2.3."})
        EXPECT_EQ(Stack().ResolveAddress(host), "10.9.8.7") << host;
    EXPECT_EQ(lookup.asked,
              (std::vector<std::string>{"1.2.3", "1.2.3.4.5", "256.1.1.1", "1.2.3."}));
}

TEST_F(StackTest, LookupFailureRaisesThePlatformCodeAndCodeZeroGivesEmptyText) {
    for (const int code : {11001, 11002, 11003}) {
        ScopedLookup lookup({std::nullopt, code});
        const auto e =
            test::Raised<EIdSocketError>([&] { Stack().ResolveAddress("nowhere.invalid"); });
        ASSERT_TRUE(e);
        EXPECT_EQ(e->ErrorCode(), code);
        EXPECT_EQ(e->Message(), Stack().ErrorText(code));
    }
    ScopedLookup silent({std::nullopt, 0});
    EXPECT_EQ(Stack().ResolveAddress("nowhere.invalid"), "");
}

TEST_F(StackTest, UnknownNameFromTheRealResolverIsHostNotFound) {
    const auto e = test::Raised<EIdSocketError>(
        [&] { Stack().ResolveAddress("brinmor-no-such-host.invalid"); });
    ASSERT_TRUE(e);
    if (e->ErrorCode() == 11002)
        GTEST_SKIP() << "no name server answered";
    EXPECT_EQ(e->ErrorCode(), 11001);
    EXPECT_EQ(e->Message(), "Socket Error # 11001\r\nHost not found.");
}

#ifndef _WIN32
// The shim below gethostbyname maps getaddrinfo failures to Windows Sockets codes.
TEST_F(StackTest, GetHostByNameShimMapsResolverStatus) {
    struct Case {
        int status;
        int error;
        std::optional<int> code; // none: no error raised, empty result
    };
    const Case cases[] = {
        {EAI_NONAME, 0, 11001},
        {EAI_NODATA, 0, 11001},
        {EAI_AGAIN, 0, 11002},
        {EAI_FAIL, 0, 11003},
        {EAI_SYSTEM, ECONNREFUSED, 10061},
        {EAI_SYSTEM, 0, std::nullopt},
    };
    struct Restore {
        ~Restore() { SetAddrInfoLookup(nullptr); }
    } restore;
    for (const Case& c : cases) {
        SetAddrInfoLookup([&](const char*, std::uint32_t*) {
            errno = c.error;
            return c.status;
        });
        if (!c.code) {
            EXPECT_EQ(Stack().ResolveAddress("nowhere.invalid"), "");
            continue;
        }
        const auto e =
            test::Raised<EIdSocketError>([&] { Stack().ResolveAddress("nowhere.invalid"); });
        ASSERT_TRUE(e);
        EXPECT_EQ(e->ErrorCode(), *c.code) << c.status;
    }
    std::vector<std::string> asked;
    SetAddrInfoLookup([&](const char* name, std::uint32_t* address) {
        asked.push_back(name);
        *address = 0x0403020A; // 10.2.3.4 in network order on a little-endian machine
        return 0;
    });
    const std::uint32_t expected = 0x0403020A;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&expected);
    const std::string text = Stack().AddressToText({bytes[0], bytes[1], bytes[2], bytes[3]});
    EXPECT_EQ(Stack().ResolveAddress("somewhere.invalid"), text);
    // An empty name stands for this machine's own, as on Windows.
    char local[256] = {};
    ASSERT_EQ(::gethostname(local, sizeof local - 1), 0);
    EXPECT_EQ(Stack().ResolveAddress(""), text);
    EXPECT_EQ(asked, (std::vector<std::string>{"somewhere.invalid", local}));
}

TEST(WinsockShimTest, ErrnoMapsToWindowsSocketsCodes) {
    const std::pair<int, int> cases[] = {
        {ECONNREFUSED, 10061},
        {ETIMEDOUT, 10060},
        {ECONNRESET, 10054},
        {EPIPE, 10054},
        {EHOSTUNREACH, 10065},
        {ENETUNREACH, 10051},
        {ESHUTDOWN, 10058},
        {EMFILE, 10024},
        {EINTR, 10004},
        {EAGAIN, 10035},
        {ENOTSOCK, 10038},
        {EADDRINUSE, 10048},
        {0, 0},
    };
    for (const auto& [error, code] : cases)
        EXPECT_EQ(WinsockErrorFromErrno(error), code) << error;
}

TEST_F(StackTest, ReadinessWaitWorksForDescriptorsAbove1024) {
    rlimit limit{};
    ::getrlimit(RLIMIT_NOFILE, &limit);
    if (limit.rlim_cur <= 2100)
        GTEST_SKIP() << "descriptor limit " << limit.rlim_cur << " too low";
    test::FakeServer server(test::FakeScript().WaitGate(1).Send("x").Silent());
    TIdTCPClient client;
    client.SetHost("127.0.0.1");
    client.SetPort(server.Port());
    client.Connect();
    const int high = ::fcntl(static_cast<int>(client.Binding().Handle()), F_DUPFD_CLOEXEC, 2000);
    ASSERT_GE(high, 2000);
    TIdSocketList list{static_cast<TIdStackSocketHandle>(high)};
    EXPECT_EQ(Stack().WaitSockets(&list, nullptr, nullptr, 0), 0);
    EXPECT_TRUE(list.empty());
    server.OpenGate(1);
    list = {static_cast<TIdStackSocketHandle>(high)};
    EXPECT_EQ(Stack().WaitSockets(&list, nullptr, nullptr, IdTimeoutInfinite), 1);
    EXPECT_EQ(list, TIdSocketList{static_cast<TIdStackSocketHandle>(high)});
    ::close(high);
}

#endif

TEST_F(StackTest, CheckResultToleratesListedCodesAndRaisesOthers) {
    EXPECT_FALSE(Stack().CheckResult(0));
    EXPECT_FALSE(Stack().CheckResult(5));
    EXPECT_FALSE(Stack().CheckResult(-2));

    Stack().SetLastSocketError(0);
    EXPECT_TRUE(Stack().CheckResult(-1));

    Stack().SetLastSocketError(10061);
    const auto e = test::Raised<EIdSocketError>([&] { Stack().CheckResult(-1); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->ErrorCode(), 10061);
    EXPECT_EQ(e->Message(), "Socket Error # 10061\r\nConnection refused.");

    Stack().SetLastSocketError(10058);
    EXPECT_TRUE(Stack().CheckResult(-1, {10058}));
    Stack().SetLastSocketError(0);
    EXPECT_THROW(Stack().CheckResult(-1, {10058}), EIdSocketError);
}

// Windows answers every call on a socket that was never opened with WSAENOTSOCK, so a write on
// a client that never connected reports it too.
TEST_F(StackTest, CallsOnASocketNeverOpenedReportNotASocket) {
    const TIdStackSocketHandle none = Id_INVALID_SOCKET;
    char byte = 'x';
    const std::uint32_t ms = 1000;
    TIdSocketList list{none};
    const std::pair<const char*, std::function<int()>> calls[] = {
        {"send", [&] { return Stack().SendBytes(none, &byte, 1, 0); }},
        {"recv", [&] { return Stack().ReceiveBytes(none, &byte, 1, 0); }},
        {"setsockopt",
         [&] { return Stack().SetSocketOption(none, Id_SOL_SOCKET, Id_SO_SNDTIMEO, &ms, 4); }},
        {"connect", [&] { return Stack().ConnectAddress(none, Id_PF_INET, "127.0.0.1", 1); }},
        {"select", [&] { return Stack().WaitSockets(&list, nullptr, nullptr, 0); }},
        {"closesocket", [&] { return Stack().ReleaseSocket(none); }},
    };
    for (const auto& [name, call] : calls) {
        Stack().SetLastSocketError(0);
        EXPECT_EQ(call(), -1) << name;
        // Wine's send fails without an error code.
        if (std::string(name) != "send" || !test::RunningUnderWine()) {
            EXPECT_EQ(Stack().LastSocketError(), 10038) << name;
        }
    }
    const auto e = test::Raised<EIdSocketError>([&] { holder_.WriteLine("example.invalid"); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->ErrorCode(), 10038);
    EXPECT_EQ(e->Message(), "Socket Error # 10038\r\nSocket operation on non-socket.");
}

// Records what WaitSockets hands to select.
struct SelectRecord {
    int calls = 0;
    bool hadTime = false;
    TTimeVal time{};
    std::uint32_t readCount = 0;
};
SelectRecord selectRecord;

int ID_WSAAPI RecordingSelect(int, TFDSet* readSet, TFDSet*, TFDSet*, const TTimeVal* time) {
    ++selectRecord.calls;
    selectRecord.hadTime = time != nullptr;
    if (time != nullptr)
        selectRecord.time = *time;
    selectRecord.readCount = readSet->fd_count;
    readSet->fd_count = 1; // pretend the first socket is ready
    return 1;
}

class WaitSocketsTest : public StackTest {
protected:
    void SetUp() override {
        saved_ = Winsock().Get<TSelectProc>(weSelect);
        Winsock().Set(weSelect, &RecordingSelect);
        selectRecord = {};
    }
    void TearDown() override { Winsock().Set(weSelect, saved_); }
    TSelectProc saved_ = nullptr;
};

TEST_F(WaitSocketsTest, TimeOutsBecomeSecondsAndMicrosecondsOrNoLimit) {
    TIdSocketList list{7};
    Stack().WaitSockets(&list, nullptr, nullptr, -2);
    EXPECT_FALSE(selectRecord.hadTime);
    Stack().WaitSockets(&list, nullptr, nullptr, 0);
    ASSERT_TRUE(selectRecord.hadTime);
    EXPECT_EQ(selectRecord.time.tv_sec, 0);
    EXPECT_EQ(selectRecord.time.tv_usec, 0);
    Stack().WaitSockets(&list, nullptr, nullptr, 1500);
    EXPECT_EQ(selectRecord.time.tv_sec, 1);
    EXPECT_EQ(selectRecord.time.tv_usec, 500000);
}

TEST_F(WaitSocketsTest, SixtyFourSocketsRunAndSixtyFiveRaiseBeforeWaiting) {
    TIdSocketList list;
    for (TIdStackSocketHandle s = 100; s < 164; ++s)
        list.push_back(s);
    EXPECT_EQ(Stack().WaitSockets(&list, nullptr, nullptr, 0), 1);
    EXPECT_EQ(selectRecord.readCount, 64u);
    EXPECT_EQ(list, TIdSocketList{100}); // cut down to the ready socket

    TIdSocketList tooMany(65, 100);
    selectRecord = {};
    const auto e =
        test::Raised<EIdException>([&] { Stack().WaitSockets(&tooMany, nullptr, nullptr, 0); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Message(), "Set Size Exceeded.");
    EXPECT_EQ(selectRecord.calls, 0);
    EXPECT_EQ(tooMany.size(), 65u);
}

TEST(StackLifetimeTest, TheStackLivesFromTheFirstComponentToTheLast) {
    ASSERT_EQ(GStack, nullptr);
    auto first = std::make_unique<TIdTCPClient>();
    TIdStack* const stack = GStack;
    ASSERT_NE(stack, nullptr);
    EXPECT_TRUE(WinsockLoaded());
    auto second = std::make_unique<TIdTCPClient>();
    EXPECT_EQ(GStack, stack);
    first.reset();
    EXPECT_EQ(GStack, stack);
    EXPECT_EQ(TIdComponent::InstanceCount(), 1);
    second.reset();
    EXPECT_EQ(GStack, nullptr);
    EXPECT_FALSE(WinsockLoaded());
    // A new first component starts a new stack.
    TIdTCPClient again;
    EXPECT_NE(GStack, nullptr);
    EXPECT_EQ(GStack->StackVersion().Name, "Winsock stack");
    EXPECT_EQ(GStack->StackVersion().Version, 0x0101);
}

#ifdef _WIN32
// The real library: loaded by name with the first component, every entry point found in it,
// unloaded with the last component.
TEST(WinsockLibraryTest, LoadedByNameWithAll51EntryPointsAndUnloadedWithTheStack) {
    ASSERT_EQ(GStack, nullptr);
    {
        TIdTCPClient client;
        EXPECT_NE(GetModuleHandleA(WinsockLibraryName), nullptr);
        for (int i = 0; i < weEntryCount; ++i)
            EXPECT_TRUE(Winsock().Has(static_cast<TWinsockEntry>(i))) << WinsockEntryNames[i];
    }
    EXPECT_EQ(GetModuleHandleA(WinsockLibraryName), nullptr);
}
#endif

} // namespace
} // namespace brinmor
