#pragma once
// The real CDatagramSender: sends through the engine's own long-lived sockets, choosing the
// source address and outgoing interface per datagram (sendmsg with IP_PKTINFO). This is what
// lets the engine send from every local address without ever binding a second socket to the
// heartbeat port, which would take unicast heartbeats away from socket_heartbeat.

#include <atomic>

#include "engine/EngineIo.h"

class CSocketSender : public CDatagramSender {
  public:
    // The sockets are read at every send, so they may be (re)created after construction.
    CSocketSender(const std::atomic<int>& discover_send, const std::atomic<int>& heartbeat)
        : discover_send_(discover_send), heartbeat_(heartbeat) {}

    bool Send(const OutgoingDatagram& datagram) override;

  private:
    const std::atomic<int>& discover_send_;
    const std::atomic<int>& heartbeat_;
};
