// The four entry points of the external server library.

#include "platform/qelutils/Classes.h"

namespace {

ServerModule& Module()
{
    static ServerModule module(qelutils::ServerClasses());
    return module;
}

}  // namespace

TROVANTA_SERVER_ENTRY_POINTS(Module)
