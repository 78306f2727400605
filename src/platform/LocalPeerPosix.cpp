#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>

#include "platform/LocalPeer.h"

namespace zorvan {

std::string CurrentUserId() {
    return std::to_string(getuid());
}

bool PeerIsCurrentUser(std::intptr_t handle, bool /*peerIsServer*/) {
    // The credentials the kernel recorded when the peer connected or started
    // listening; the peer cannot change them afterwards.
#ifdef SO_PEERCRED
    struct ucred peer {};
    socklen_t size = sizeof peer;
    if (getsockopt(static_cast<int>(handle), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 ||
        size != sizeof peer) {
        return false;
    }
    return peer.uid == getuid();
#else
    uid_t uid = 0;
    gid_t gid = 0;
    return getpeereid(static_cast<int>(handle), &uid, &gid) == 0 && uid == getuid();
#endif
}

}  // namespace zorvan
