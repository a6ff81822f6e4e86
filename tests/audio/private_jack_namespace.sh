#!/bin/sh
# Runs a test program in mount and IPC namespaces of its own, with a private /dev/shm: the JACK
# server it starts keeps its shared-memory registry, its semaphores and its sockets there, where
# no other process's leftovers (a stale registry lock of a killed server) can reach it. Root gets
# the namespaces directly; another user through a user namespace of its own. Where namespaces
# cannot be made, the program runs as it is and says so.
if unshare --mount --ipc true 2>/dev/null; then
    exec unshare --mount --ipc --propagation private \
        sh -c 'mount -t tmpfs -o mode=1777 jack-shm /dev/shm && exec "$@"' sh "$@"
fi
if unshare --user --map-root-user --mount --ipc true 2>/dev/null; then
    exec unshare --user --map-root-user --mount --ipc --propagation private \
        sh -c 'mount -t tmpfs -o mode=1777 jack-shm /dev/shm && exec "$@"' sh "$@"
fi
echo "private_jack_namespace: no namespaces here; JACK runs on the machine's own /dev/shm" >&2
exec "$@"
