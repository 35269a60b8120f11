#pragma once
// Single-instance guard: at most one holder of a name per network namespace.
//
// The guard is an abstract Unix-domain socket bound to the name. The kernel frees it the moment
// the holding process ends, however it ends, so a crashed copy never blocks the next start, and
// there is no file to clean up. Abstract names are scoped to the network namespace, which is
// also the scope of the UDP ports the program binds, so two copies that would fight over the
// same ports always see each other. The socket is close-on-exec: programs started by the
// holder (the file server) do not keep the name alive.
//
// The window program and the command-line tool both take kProgramInstanceName, so each refuses
// to run beside the other.

#include <string>
#include <string_view>

namespace platform {

inline constexpr std::string_view kProgramInstanceName = "Valto_Corvane";

class CInstanceGuard {
  public:
    enum class State {
        kNotHeld,         // never acquired, moved from, or released
        kHeld,            // this process holds the name
        kAlreadyRunning,  // another process holds it
        kFailed,          // the guard could not be made (no socket, name too long)
    };

    // Tries to take the name; the guard holds it until it is destroyed or Release()d.
    static CInstanceGuard TryAcquire(std::string_view name);

    CInstanceGuard() = default;
    CInstanceGuard(CInstanceGuard&& other) noexcept;
    CInstanceGuard& operator=(CInstanceGuard&& other) noexcept;
    CInstanceGuard(const CInstanceGuard&) = delete;
    CInstanceGuard& operator=(const CInstanceGuard&) = delete;
    ~CInstanceGuard();

    State GetState() const { return state_; }
    bool IsHeld() const { return state_ == State::kHeld; }
    explicit operator bool() const { return IsHeld(); }

    void Release();

  private:
    int fd_ = -1;
    State state_ = State::kNotHeld;
};

}  // namespace platform
