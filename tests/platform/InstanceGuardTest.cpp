#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/InstanceGuard.h"

extern char** environ;

namespace {

using platform::CInstanceGuard;
using State = CInstanceGuard::State;

// A name no other test or running program uses.
std::string UniqueName(const char* what) {
    return "merrowin-test-" + std::string(what) + "-" + std::to_string(getpid());
}

// Runs `body` in a forked child and returns its exit code.
template <typename F>
int InChild(F body) {
    const pid_t pid = fork();
    if (pid == 0) _exit(body());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(InstanceGuard, SecondHolderInThisProcessIsRefusedUntilRelease) {
    const std::string name = UniqueName("same");
    CInstanceGuard first = CInstanceGuard::TryAcquire(name);
    ASSERT_EQ(first.GetState(), State::kHeld);
    EXPECT_EQ(CInstanceGuard::TryAcquire(name).GetState(), State::kAlreadyRunning);
    EXPECT_TRUE(CInstanceGuard::TryAcquire(name + "-other").IsHeld()) << "names are separate";

    CInstanceGuard moved = std::move(first);
    EXPECT_FALSE(first.IsHeld());
    EXPECT_EQ(CInstanceGuard::TryAcquire(name).GetState(), State::kAlreadyRunning);
    moved.Release();
    EXPECT_EQ(moved.GetState(), State::kNotHeld);
    EXPECT_TRUE(CInstanceGuard::TryAcquire(name).IsHeld());
}

TEST(InstanceGuard, OtherProcessIsRefusedWhileHeld) {
    const std::string name = UniqueName("child");
    CInstanceGuard held = CInstanceGuard::TryAcquire(name);
    ASSERT_TRUE(held.IsHeld());
    EXPECT_EQ(InChild([&] {
                  return CInstanceGuard::TryAcquire(name).GetState() == State::kAlreadyRunning ? 0
                                                                                               : 1;
              }),
              0);
    held.Release();
    EXPECT_EQ(InChild([&] { return CInstanceGuard::TryAcquire(name).IsHeld() ? 0 : 1; }), 0);
}

TEST(InstanceGuard, HolderThatDiesWithoutCleanUpFreesTheName) {
    const std::string name = UniqueName("crash");
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        CInstanceGuard g = CInstanceGuard::TryAcquire(name);
        const char ok = g.IsHeld() ? 'y' : 'n';
        (void)!write(ready[1], &ok, 1);
        pause();  // killed below, never releases on its own
        _exit(0);
    }
    close(ready[1]);
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    close(ready[0]);
    ASSERT_EQ(ok, 'y');
    EXPECT_EQ(CInstanceGuard::TryAcquire(name).GetState(), State::kAlreadyRunning);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    EXPECT_TRUE(CInstanceGuard::TryAcquire(name).IsHeld());
}

// A program the holder starts (the file server) must not keep the name alive.
TEST(InstanceGuard, ProgramsStartedByTheHolderDoNotInheritIt) {
    const std::string name = UniqueName("exec");
    CInstanceGuard held = CInstanceGuard::TryAcquire(name);
    ASSERT_TRUE(held.IsHeld());
    pid_t pid = 0;
    char arg0[] = "sleep", arg1[] = "5";
    char* argv[] = {arg0, arg1, nullptr};
    ASSERT_EQ(posix_spawnp(&pid, "sleep", nullptr, nullptr, argv, environ), 0);
    held.Release();
    EXPECT_TRUE(CInstanceGuard::TryAcquire(name).IsHeld());
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

TEST(InstanceGuard, UnusableNamesFail) {
    EXPECT_EQ(CInstanceGuard::TryAcquire("").GetState(), State::kFailed);
    EXPECT_EQ(CInstanceGuard::TryAcquire(std::string(200, 'n')).GetState(), State::kFailed);
}

}  // namespace
