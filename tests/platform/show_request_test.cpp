// SPDX-License-Identifier: GPL-3.0-or-later
// A second copy's request to the running copy, over the socket in the
// runtime folder.
#include "platform/show_request.h"
#include "tests/support/temp_dir.h"

#include <chrono>
#include <filesystem>
#include <future>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kadrix {
namespace {

TEST(ShowRequest, TheRunningCopyHearsTheRequestAndTheSenderWaitsForItsAnswer) {
    test::TempDir runtime("kadrix-runtime");
    const std::string path = showRequestSocketPath(runtime.str());
    EXPECT_FALSE(sendShowRequest(path, 1000)) << "a request went to nobody";

    // A socket left by a copy that crashed does not keep the next one deaf.
    const pid_t crashed = ::fork();
    if (crashed == 0) {
        ShowRequestListener listener = ShowRequestListener::listen(path);
        ::_exit(0); // no destructor runs, as in a crash
    }
    int status = 0;
    ASSERT_EQ(::waitpid(crashed, &status, 0), crashed);
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_FALSE(sendShowRequest(path, 1000));
    {
        ShowRequestListener next = ShowRequestListener::listen(path);
        EXPECT_TRUE(std::filesystem::exists(path));
    }
    EXPECT_FALSE(std::filesystem::exists(path)) << "the socket outlived its copy";

    ShowRequestListener listener = ShowRequestListener::listen(path);
    std::future<bool> sent =
        std::async(std::launch::async, [&] { return sendShowRequest(path, 20000); });
    pollfd pending{listener.fd(), POLLIN, 0};
    ASSERT_EQ(::poll(&pending, 1, 10000), 1) << "the request never arrived";
    std::vector<UniqueFd> requests = listener.takeRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(sent.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout)
        << "the sender went on before the window was shown";
    requests.clear();
    ASSERT_EQ(sent.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_TRUE(sent.get());
    EXPECT_TRUE(listener.takeRequests().empty());
}

} // namespace
} // namespace kadrix
