#pragma once
// The real host of merrowin-cli: the window program's single-instance guard, the run's log
// under Logs/, Setting.ini, the in-memory store and the engine singleton.

#include <memory>
#include <string>

#include "cli/CliBackend.h"
#include "platform/InstanceGuard.h"

// Blocks SIGINT and SIGTERM in the calling thread (and so in every thread it starts later) and
// ignores SIGPIPE. Called first thing in main, before the engine's threads exist, so a signal
// only ever ends a wait of the host instead of interrupting an engine thread.
void PrepareCliSignals();

class CSystemHost : public CCliHost {
  public:
    bool ClaimInstance(std::string& why) override;
    std::unique_ptr<CCliBackend> StartEngine(std::string& why) override;
    bool WaitForStop(int ms) override;

  private:
    platform::CInstanceGuard guard_;
    bool stop_ = false;
};
