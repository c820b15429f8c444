#include "platform/spawnsignals.h"

#include <csignal>
#include <initializer_list>

short FreshSignals(posix_spawnattr_t& attributes) {
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int s : {SIGPIPE, SIGINT, SIGTERM, SIGQUIT, SIGHUP, SIGCHLD})
        sigaddset(&defaults, s);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    return POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
}
