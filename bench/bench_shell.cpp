// Start-up of the window program: from starting the process to its main window on screen.
//
// Each iteration starts `merrowin` from a fresh copy of its program folder inside the PC side
// of a private lab network (the engine opens its sockets there) and waits for the log line the
// main window writes once it is shown. Two platforms: offscreen, and an X server (Xvfb) run
// in the lab. Needs root (network namespaces).
#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/lab/LabFixture.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

const fs::path kOut = MERROWIN_OUT_DIR;

pid_t SpawnIn(const std::string& ns, const std::vector<std::string>& argv,
              const std::vector<std::string>& env) {
    testlab::NetnsScope scope(ns);
    if (!scope.ok()) return -1;
    std::vector<char*> args, envp;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0].c_str(), nullptr, nullptr, args.data(), envp.data()) != 0)
        return -1;
    return pid;
}

bool LogSays(const fs::path& folder, const std::string& text) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder / "Logs", ec)) {
        std::ifstream in(entry.path());
        std::string line;
        while (std::getline(in, line))
            if (line.find(text) != std::string::npos) return true;
    }
    return false;
}

fs::path MakeProgramFolder(const std::string& base, int n) {
    const fs::path folder = fs::path(base) / ("run" + std::to_string(n));
    fs::create_directories(folder);
    fs::copy_file(kOut / "merrowin", folder / "merrowin");
    for (const char* dir : {"Skin", "Languages"})
        fs::copy(kOut / dir, folder / dir, fs::copy_options::recursive);
    fs::copy_file(kOut / "Setting.ini", folder / "Setting.ini");
    return folder;
}

void Stop(pid_t pid) {
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
}

void BM_StartupToShownWindow(benchmark::State& state, bool x11) {
    testlab::Lab lab;
    if (!lab.ok()) {
        state.SkipWithError(lab.error().c_str());
        return;
    }
    std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen", "LANG=C.UTF-8"};
    pid_t xserver = -1;
    if (x11) {
        const std::string display = ":" + std::to_string(70 + getpid() % 20);
        xserver = SpawnIn(
            lab.pcNs(),
            {"/usr/bin/Xvfb", display, "-nolisten", "tcp", "-screen", "0", "1280x800x24"}, {});
        const fs::path socket = "/tmp/.X11-unix/X" + display.substr(1);
        for (int i = 0; i < 500 && !fs::exists(socket); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (xserver < 0 || !fs::exists(socket)) {
            state.SkipWithError("Xvfb did not start");
            if (xserver > 0) Stop(xserver);
            return;
        }
        env = {"QT_QPA_PLATFORM=xcb", "DISPLAY=" + display, "LANG=C.UTF-8"};
    }
    int n = 0;
    for (auto _ : state) {
        const fs::path folder = MakeProgramFolder(lab.dir(), n++);
        const auto start = std::chrono::steady_clock::now();
        const pid_t pid = SpawnIn(lab.pcNs(), {(folder / "merrowin").string()}, env);
        bool shown = false;
        while (pid > 0 && !shown) {
            shown = LogSays(folder, "main window shown");
            if (std::chrono::steady_clock::now() - start > std::chrono::seconds(20)) break;
            if (!shown) std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        const auto end = std::chrono::steady_clock::now();
        if (pid > 0) Stop(pid);
        if (!shown) {
            state.SkipWithError("the main window was never shown");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    if (xserver > 0) Stop(xserver);
}

BENCHMARK_CAPTURE(BM_StartupToShownWindow, offscreen, false)
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StartupToShownWindow, xvfb, true)
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
