#include "engine/Version.h"

#ifndef HALVORN_VERSION
#define HALVORN_VERSION "unknown"
#endif

namespace halvorn {

std::string ProgramVersion() {
    return HALVORN_VERSION;
}

}  // namespace halvorn
