#include "engine/SocketSender.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

bool CSocketSender::Send(const OutgoingDatagram& datagram) {
    const int fd =
        datagram.socket == SendSocket::DiscoverSend ? discover_send_.load() : heartbeat_.load();
    if (fd < 0) {
        return false;
    }
    sockaddr_in dest{};
    dest.sin_family = AF_INET;
    dest.sin_port = htons(datagram.dest_port);
    if (inet_pton(AF_INET, datagram.dest_ip.c_str(), &dest.sin_addr) != 1) {
        return false;
    }
    iovec iov{const_cast<uint8_t*>(datagram.bytes.data()), datagram.bytes.size()};
    msghdr msg{};
    msg.msg_name = &dest;
    msg.msg_namelen = sizeof dest;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;

    alignas(cmsghdr) unsigned char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    in_addr source{};
    if (!datagram.source_ip.empty() &&
        inet_pton(AF_INET, datagram.source_ip.c_str(), &source) == 1) {
        // Source address and, for the multicast group, the outgoing interface: both per
        // datagram, so one socket serves every local address.
        msg.msg_control = control;
        msg.msg_controllen = sizeof control;
        cmsghdr* cm = CMSG_FIRSTHDR(&msg);
        cm->cmsg_level = IPPROTO_IP;
        cm->cmsg_type = IP_PKTINFO;
        cm->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
        in_pktinfo info{};
        info.ipi_ifindex = static_cast<int>(datagram.source_ifindex);
        info.ipi_spec_dst = source;
        std::memcpy(CMSG_DATA(cm), &info, sizeof info);
    }
    ssize_t n;
    do {
        n = sendmsg(fd, &msg, 0);
    } while (n < 0 && errno == EINTR);
    return n > 0;
}
