#include "win32/CallerEndpoint.h"
#include "tests/support/TestTemp.h"
#include "win32/CallerListener.h"
#include "win32/PlatformConfig.h"

#include "tests/support/TestCaller.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Caller endpoints in a fresh folder of their own.
class CallerEndpointTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = testtemp::Make("zk_callers_") + "/callers";  // the listener creates it
        setenv("ZELKOR_CALLER_DIR", m_dir.c_str(), 1);
        PlatformConfig::Reload();
    }
    void TearDown() override
    {
        std::system(("rm -rf " + m_dir.substr(0, m_dir.size() - 8)).c_str());
        unsetenv("ZELKOR_CALLER_DIR");
        PlatformConfig::Reload();
    }
    std::string m_dir;
};

}  // namespace

TEST(CallerEvent, TextForms)
{
    CallerEvent e;
    e.kind = CallerEvent::Disable;
    EXPECT_EQ(e.ToText(), "disable");
    e.kind = CallerEvent::Foreground;
    EXPECT_EQ(e.ToText(), "foreground");
    // A function id of -1 (sign-extended) and a large unsigned message.
    CallerEvent post = CallerEvent::MakePost(0xC123, static_cast<WPARAM>(-1), 2);
    EXPECT_EQ(post.ToText(), "post 49443 -1 2");
    EXPECT_EQ(CallerEvent::MakePost(1024, 0xFFFFFFFFu, 0x80000000u).ToText(), "post 1024 -1 -2147483648");

    CallerEvent parsed;
    ASSERT_TRUE(CallerEvent::Parse("post 49443 -1 2", parsed));
    EXPECT_EQ(parsed, post);
    ASSERT_TRUE(CallerEvent::Parse("enable", parsed));
    EXPECT_EQ(parsed.kind, CallerEvent::Enable);
    for (const char* bad : {"", "post", "post 1 2", "post 1 2 3 4", "post a 2 3", "post 1 2 99999999999",
                            "post -1 2 3", "Enable", "enable "})
        EXPECT_FALSE(CallerEvent::Parse(bad, parsed)) << bad;
}

TEST_F(CallerEndpointTest, SocketPathNamedAfterTheHandle)
{
    EXPECT_EQ(CallerEndpoint::SocketPath(123456), m_dir + "/123456.sock");
    EXPECT_EQ(CallerEndpoint::SocketPath(4294967295u), m_dir + "/4294967295.sock");
    setenv("ZELKOR_CALLER_DIR", (m_dir + "/" + std::string(120, 'x')).c_str(), 1);
    PlatformConfig::Reload();
    EXPECT_EQ(CallerEndpoint::SocketPath(1), "");  // too long for a socket address
    EXPECT_FALSE(CallerEndpoint::Deliver(1, CallerEvent()));
}

TEST_F(CallerEndpointTest, NoEndpointNoDelivery)
{
    CallerEvent enable;
    enable.kind = CallerEvent::Enable;
    EXPECT_FALSE(CallerEndpoint::Deliver(77, enable));  // nothing there
    {
        CallerListener gone(77);
        ASSERT_TRUE(gone.IsBound());
    }
    EXPECT_FALSE(CallerEndpoint::Deliver(77, enable));  // the listener went away
}

TEST_F(CallerEndpointTest, CallerInAnotherProcessReceivesTheNotification)
{
    TestCaller caller(123456, 4, 5000);
    ASSERT_TRUE(caller.Ready());
    CallerEvent e;
    e.kind = CallerEvent::Foreground;
    EXPECT_TRUE(CallerEndpoint::Deliver(123456, e));
    e.kind = CallerEvent::Enable;
    EXPECT_TRUE(CallerEndpoint::Deliver(123456, e));
    EXPECT_TRUE(CallerEndpoint::Deliver(123456, CallerEvent::MakePost(1024, static_cast<WPARAM>(-1), 0)));
    EXPECT_TRUE(CallerEndpoint::Deliver(123456, e));
    // Another handle's endpoint is not this caller's.
    EXPECT_FALSE(CallerEndpoint::Deliver(654321, e));
    EXPECT_EQ(caller.Finish(), (std::vector<std::string>{"foreground", "enable", "post 1024 -1 0", "enable"}));
}

TEST_F(CallerEndpointTest, ListenerReplacesStaleSocketButNotLiveOne)
{
    // A socket file left by a caller that died.
    mkdir(m_dir.c_str(), 0700);
    std::string path = CallerEndpoint::SocketPath(5);
    int fd = socket(AF_UNIX, SOCK_DGRAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    path.copy(addr.sun_path, path.size());
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    close(fd);

    CallerListener listener(5);
    ASSERT_TRUE(listener.IsBound());
    CallerListener second(5);
    EXPECT_FALSE(second.IsBound());  // the first one is alive

    EXPECT_FALSE(listener.Receive(50).has_value());  // times out
    EXPECT_TRUE(CallerEndpoint::Deliver(5, CallerEvent::MakePost(1, 2, 3)));
    std::optional<CallerEvent> got = listener.Receive(1000);
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(got->ToText(), "post 1 2 3");
}
